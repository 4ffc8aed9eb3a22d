// Drives reading passes (readStyleColors + applySystemColors) against a host whose every answer
// comes from the input: a style path and text values of any length, from none to far beyond the
// plug-in's buffers, null pointers, colours picked to hit the highlight's fallbacks, and any
// nonzero truth byte for a fragment found.
//
// The host keeps only its latest answer and frees it on the next call, each in a buffer of its
// exact size, so a pointer kept too long or a read past a terminator shows under the address
// sanitizer. Each pass is checked for what the host and Windows can observe, and each input runs
// twice, the second time with every found fragment answered 1: both runs must ask the host the
// same and apply the same colours.

#include "colors/menu_highlight.h"
#include "colors/style_access.h"
#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "fuzz/fuzz_input.h"
#include "host/marlwood.h"
#include "stylefile/color_text.h"
#include "standin/call_record.h"
#include "win32/win32_standin.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using fuzz::require;

namespace {

// Colours the host answers with to reach the highlight's fallbacks.
constexpr COLORREF WHITE = 0x00FFFFFF;
constexpr COLORREF BLACK = 0x00000000;

// Texture words the plug-in tests for, so inputs reach both sides of every test cheaply.
const char* const textureWords[] = {
    "parentrelative",      "solid",          "doesnotexist", "flat gradient vertical",
    "raised solid bevel1", "ParentRelative", "gradient",     "parentrelativesolid",
};

struct Host {
    fuzz::Input input;
    COLORREF windowColor = 0;
    std::unique_ptr<char[]> answer; // the latest text handed out; freed by the next call
    std::string pathGiven;          // what stylePath answered this pass
    bool pathNull = false;
    std::string textGiven;   // what the latest ReadString answered, as the plug-in must see it
    std::string textDefault; // that call's default text
    std::map<std::pair<std::string, std::string>, COLORREF> answers; // by key and default
    bool foundIsOne = false;             // answer 1 for found, whatever the input's truth byte
    std::vector<std::string> transcript; // keys asked and colours applied, for the comparison

    explicit Host(const uint8_t* data, size_t size) : input(data, size) {}

    const char* handOut(const std::string& text) {
        answer.reset(new char[text.size() + 1]);
        std::memcpy(answer.get(), text.c_str(), text.size() + 1);
        return answer.get();
    }

    // A text of the input's choosing; `base` is what a well-behaved host would answer.
    std::string text(const std::string& base) {
        switch (input.byte() % 8) {
        case 0:
            return base;
        case 1:
            return input.text(input.byte());
        case 2: {
            std::string prefix = input.text(input.byte() % 32);
            return prefix + base + input.text(input.byte() % 32);
        }
        case 3:
            return input.pattern(input.u16()); // anything up to 64 KiB
        case 4:                                // around the text buffer's bound
            return input.pattern(STYLE_TEXT_BUFFER_SIZE - 6 + input.byte() % 12);
        case 5:
            return std::string();
        case 6:
            return std::string(textureWords[input.byte() % std::size(textureWords)]) +
                   input.text(input.byte() % 16);
        default: // around the path buffer's bound
            return input.pattern(STYLE_PATH_BUFFER_SIZE - 6 + input.byte() % 12);
        }
    }
};

Host* host;

void checkLookup(const char* path, const char* key, const char* defaultText) {
    require(path == stylePathBuffer, "a lookup was not given the plug-in's copy of the path");
    require(std::strlen(path) < STYLE_PATH_BUFFER_SIZE, "path copy not terminated in its buffer");
    if (!host->pathNull && host->pathGiven.size() < STYLE_PATH_BUFFER_SIZE) {
        require(host->pathGiven == path, "a path that fits was not copied whole");
    }
    require(key != nullptr && key[0] != '\0' && key[std::strlen(key) - 1] == ':',
            "a key without its trailing colon");
    require(defaultText != nullptr, "a lookup without a default");
    host->transcript.push_back(key);
}

} // namespace

extern "C" HWND __cdecl GetMWWnd(void) {
    return reinterpret_cast<HWND>(0x2000);
}

extern "C" const char* __cdecl stylePath(const char* unused) {
    require(unused == nullptr, "stylePath was given something other than null");
    const uint8_t kind = host->input.byte() % 4;
    host->pathNull = kind == 1;
    if (host->pathNull) {
        host->answer.reset();
        return nullptr;
    }
    host->pathGiven = kind == 0 ? std::string("/styles/fuzzed.style") : host->text("/s").c_str();
    return host->handOut(host->pathGiven);
}

extern "C" const char* __cdecl ReadString(const char* path, const char* key,
                                          const char* defaultText) {
    checkLookup(path, key, defaultText);
    host->textDefault = defaultText;
    if (host->input.byte() % 8 == 1) {
        host->answer.reset();
        host->textGiven = defaultText; // a host with nothing to say: the default stands
        return nullptr;
    }
    host->textGiven = host->text(defaultText).c_str(); // what stands before any zero byte
    return host->handOut(host->textGiven);
}

extern "C" COLORREF __cdecl ReadColor(const char* path, const char* key, const char* defaultColor) {
    checkLookup(path, key, defaultColor);
    COLORREF color = 0;
    require(std::strlen(defaultColor) == 7 && stylefile::parseColor(defaultColor, color),
            "a default that is no colour");
    host->answer.reset();
    const uint8_t pick = host->input.byte() % 5; // 0: the default
    color = pick == 1   ? host->windowColor
            : pick == 2 ? WHITE
            : pick == 3 ? BLACK
            : pick == 4 ? host->input.u32() & 0x00FFFFFF
                        : color;
    host->answers[{key, defaultColor}] = color;
    return color;
}

// The truth byte: 0 for not found; for found whatever nonzero byte the input holds, as hosts
// built with other compilers answer 2 or 0xFF as readily as 1.
extern "C" unsigned char __cdecl IsInString(const char* text, const char* fragment) {
    require(text == styleTextBuffer, "a texture test not made on the plug-in's copy");
    require(fragment != nullptr && fragment[0] != '\0', "an empty fragment");
    const std::string copy(text); // the sanitizer stops here if the copy is not terminated
    const std::string& given = host->textGiven;
    if (given.size() < STYLE_TEXT_BUFFER_SIZE) {
        require(copy == given, "a text value that fits was not copied whole");
    } else {
        require(copy == host->textDefault || given.compare(0, copy.size(), copy) == 0,
                "an overlong text value became something other than its start or the default");
    }
    host->transcript.push_back(fragment);
    const uint8_t truth = host->input.byte();
    if (std::strstr(text, fragment) == nullptr) {
        return 0;
    }
    return host->foundIsOne || truth == 0 ? 1 : truth;
}

namespace {

// One session on the input: its reading passes, each checked; returns the transcript.
std::vector<std::string> runSession(const uint8_t* data, size_t size, bool foundIsOne) {
    win32_standin::reset();
    standin::recordCalls(true);
    Host session(data, size);
    session.foundIsOne = foundIsOne;
    host = &session;

    const uint8_t pick = session.input.byte() % 4;
    session.windowColor = pick == 0   ? WHITE
                          : pick == 1 ? FALLBACK_HIGHLIGHT
                          : pick == 2 ? BLACK
                                      : session.input.u32() & 0x00FFFFFF;
    win32_standin::setSystemColor(COLOR_WINDOW, session.windowColor);

    const int passes = 1 + session.input.byte() % 3;
    for (int pass = 0; pass < passes; ++pass) {
        session.answers.clear();
        standin::takeCalls();

        readStyleColors();
        applySystemColors();

        // What the pass asked of Windows: the window colour, once, and then the ten, in one call.
        const std::vector<standin::Call> calls = standin::takeCalls();
        require(calls.size() == 2 && calls[0].function == "GetSysColor" &&
                    calls[0].arguments[0] == COLOR_WINDOW,
                "a pass did not read the window colour exactly once");
        const standin::Call& call = calls[1];
        require(call.function == "SetSysColors" && call.colors.size() == MANAGED_COLOR_COUNT,
                "a pass applied other than ten colours exactly once");
        for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
            require(call.colors[i].first == managedColorIndices[i],
                    "a colour went to the wrong index");
            const COLORREF value = call.colors[i].second;
            session.transcript.push_back(std::to_string(value));
            // The lookup the plug-in notes as the colour's source gave it, or the fallback did.
            if (colorSources[i] == StyleLookup::FixedColor) {
                require(i == static_cast<int>(ManagedColor::highlight)
                            ? value == FALLBACK_HIGHLIGHT || value == BLACK_FALLBACK_HIGHLIGHT
                            : i == static_cast<int>(ManagedColor::highlightText) &&
                                  value == FALLBACK_HIGHLIGHT_TEXT,
                        "a fixed colour other than the highlight's fallback");
            } else {
                const StyleLookupEntry& source = entryOf(colorSources[i]);
                const auto answer = session.answers.find({source.key, source.defaultValue});
                require(source.kind == LookupKind::Color && answer != session.answers.end() &&
                            answer->second == value,
                        "a colour's noted source did not give it");
            }
        }
        require(GetSysColor(COLOR_WINDOW) == session.windowColor, "the window colour was written");
    }

    host = nullptr;
    return std::move(session.transcript);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> asDrawn = runSession(data, size, false);
    require(runSession(data, size, true) == asDrawn,
            "a truth byte other than 1 changed what the plug-in asked or applied");
    return 0;
}
