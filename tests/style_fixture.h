// The plug-in's tests run it against the stand-in host and the Win32 stand-in, with every call
// recorded: a clean host, Windows and colour set for each test, and ways to read the record.
#pragma once

#include "colors/style_access.h"
#include "colors/system_color_set.h"
#include "standin/call_record.h"
#include "standin/host.h"
#include "stylefile/color_text.h"
#include "win32/win32_standin.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tests {

// A style as keys (with their colons) and values.
using Style = std::map<std::string, std::string>;

constexpr char STYLE_PATH[] = "/styles/test.style";

// Makes style the host's current style, at path.
inline void useStyle(const Style& style, const std::string& path = STYLE_PATH) {
    std::string text;
    for (const auto& [key, value] : style) {
        text += key + " " + value + "\n";
    }
    standin::setStyle(path, text);
}

// A colour text "#rrggbb" as a COLORREF (black when it is none).
inline COLORREF colorOf(const std::string& text) {
    COLORREF color = 0;
    stylefile::parseColor(text, color);
    return color;
}

// A host lookup as "ReadColor(menu.hilite.color:, #0a246a) = #ff0000", or "IsInString(text,
// fragment) = 1"; the path is left out.
inline std::string describe(const standin::Call& call) {
    if (call.function == "IsInString") {
        return "IsInString(" + call.texts[0] + ", " + call.texts[1] +
               ") = " + (call.result != 0 ? "1" : "0");
    }
    return call.function + "(" + call.texts[1] + ", " + call.texts[2] + ") = " +
           (call.result == 0 && call.function == "ReadString" ? "(null)" : call.resultText);
}

inline bool isLookup(const standin::Call& call) {
    return call.function == "ReadString" || call.function == "ReadColor" ||
           call.function == "IsInString";
}

// The host lookups made so far, described.
inline std::vector<std::string> lookups() {
    std::vector<std::string> described;
    for (const standin::Call& call : standin::calls()) {
        if (isLookup(call)) {
            described.push_back(describe(call));
        }
    }
    return described;
}

// The calls made so far to one function.
inline std::vector<standin::Call> callsTo(const std::string& function) {
    std::vector<standin::Call> found;
    for (const standin::Call& call : standin::calls()) {
        if (call.function == function) {
            found.push_back(call);
        }
    }
    return found;
}

// The colours of a SetSysColors call, as "#rrggbb" texts for readable failures.
inline std::vector<std::string> hexColors(const standin::Call& call) {
    std::vector<std::string> out;
    for (const auto& pair : call.colors) {
        out.push_back(stylefile::colorText(pair.second));
    }
    return out;
}

// The indices of a SetSysColors call.
inline std::vector<int> indicesOf(const standin::Call& call) {
    std::vector<int> out;
    for (const auto& pair : call.colors) {
        out.push_back(pair.first);
    }
    return out;
}

// Joins runs of expected host calls into one sequence.
inline std::vector<std::string> join(std::initializer_list<std::vector<std::string>> runs) {
    std::vector<std::string> all;
    for (const auto& run : runs) {
        all.insert(all.end(), run.begin(), run.end());
    }
    return all;
}

} // namespace tests

class StyleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::destroyMainWindow();
        win32_standin::reset();
        standin::answerWith({});
        tests::useStyle({});
        copyStylePath(); // as a pass begins, for the tests of its parts
        standin::createMainWindow(GetModuleHandleA(nullptr));
        standin::takeCalls();
        standin::recordCalls(true);
        systemColors = SystemColorSet{};
    }
    void TearDown() override {
        standin::recordCalls(false);
        standin::destroyMainWindow();
    }
};
