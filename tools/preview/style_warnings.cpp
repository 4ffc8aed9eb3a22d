#include "tools/preview/style_warnings.h"

#include "colors/style_lookups.h"
#include "stylefile/color_text.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/terminal_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace preview {

namespace {

// Beyond this a file's warnings are counted, not shown: a wrong file must not flood the screen.
constexpr std::size_t MOST_WARNINGS_SHOWN = 20;
static_assert(MOST_WARNINGS_SHOWN <= stylefile::MOST_PROBLEMS_KEPT,
              "every bad line that may be shown is kept");

// Counts a warning about line; text() makes its words, only when it is among those shown.
template <typename Text> void add(Warnings* warnings, int line, const Text& text) {
    std::multimap<int, std::string>& shown = warnings->shown;
    ++warnings->count;
    if (shown.size() == MOST_WARNINGS_SHOWN && line >= shown.rbegin()->first) {
        return;
    }
    shown.emplace(line, text()); // after those of the same line, which came first
    if (shown.size() > MOST_WARNINGS_SHOWN) {
        shown.erase(std::prev(shown.end()));
    }
}

using L = StyleLookup;

// Why lookups a pass did not make were left out: the lookup before them (gate) and its answer,
// the test of its text for fragment or, without one, that the pass made it. The first row that
// holds for a lookup gives its reason.
struct Unread {
    L gate;
    const char* fragment;
    bool contains;
    const char* reason;
    std::uint64_t lookups; // a bit for each, by its place in the table
};
template <typename... Lookups>
constexpr Unread unread(L gate, const char* fragment, bool contains, const char* reason,
                        Lookups... lookups) {
    return {gate, fragment, contains, reason, ((std::uint64_t{1} << int(lookups)) | ...)};
}
static_assert(STYLE_LOOKUP_COUNT <= 64, "a bit for each lookup");

constexpr const char* PR = "parentrelative";
const Unread unreadReasons[] = {
    unread(L::FocusLabel, PR, false,
           "the focused label is not parent-relative, so its own colours are used", L::FocusTitle,
           L::FocusTitleColor, L::FocusTitleColorTo),
    unread(L::FocusLabel, PR, true,
           "the focused label is parent-relative, so the title's colours are used",
           L::FocusLabelColor, L::FocusLabelColorTo),
    unread(L::FocusTitle, "solid", true, "the focused title is solid, so it has one colour",
           L::FocusTitleColorTo),
    unread(L::FocusLabel, "solid", true, "the focused label is solid, so it has one colour",
           L::FocusLabelColorTo),
    unread(L::UnfocusLabel, PR, false,
           "the unfocused label is not parent-relative, so its own colours are used",
           L::UnfocusTitle, L::UnfocusTitleColor, L::UnfocusTitleColorTo),
    unread(L::UnfocusLabel, PR, true,
           "the unfocused label is parent-relative, so the title's colours are used",
           L::UnfocusLabelColor, L::UnfocusLabelColorTo),
    unread(L::UnfocusTitle, "solid", true, "the unfocused title is solid, so it has one colour",
           L::UnfocusTitleColorTo),
    unread(L::UnfocusLabel, "solid", true, "the unfocused label is solid, so it has one colour",
           L::UnfocusLabelColorTo),
    unread(L::MenuHilite, PR, true,
           "menu.hilite is parent-relative (its default), so the highlight comes from menu.title "
           "or menu.frame",
           L::HiliteColor, L::HiliteTextColor, L::HiliteColorTo),
    unread(L::HiliteColor, nullptr, true,
           "menu.hilite.color is not the window colour, so its second colour is not needed",
           L::HiliteColorTo),
    unread(L::TitleColor, nullptr, true,
           "menu.title.color is not the window colour, so its second colour is not needed",
           L::TitleColorTo),
    unread(L::FrameColor, nullptr, true,
           "menu.frame.color is not the window colour, so its second colour is not needed",
           L::FrameColorTo),
    unread(L::TitleColor, nullptr, true, "the highlight is menu.title's", L::FrameColor,
           L::FrameTextColor, L::FrameColorTo),
    unread(L::HiliteColor, nullptr, true, "the highlight is menu.hilite's", L::TitleColor,
           L::TitleTextColor, L::TitleColorTo, L::FrameColor, L::FrameTextColor, L::FrameColorTo),
    unread(L::MenuTitle, PR, true,
           "menu.title is parent-relative, so the tooltip takes menu.frame's colours",
           L::TooltipTitleColor, L::TooltipTitleTextColor),
    unread(L::MenuTitle, PR, false,
           "menu.title is not parent-relative, so the tooltip takes its own colours",
           L::TooltipFrameColor, L::TooltipFrameTextColor),
};

// Values the plug-in would read as a colour, in this style or another (another window colour,
// another texture), that are none: one warning each, with the defaults that then apply.
void addColorValueWarnings(const stylefile::StyleFile& style, Warnings* warnings) {
    for (const KeyLookups& entries : lookupsByKey()) {
        COLORREF ignored = 0;
        const std::optional<stylefile::StyleLine> line = style.lineOf(entries.front()->key);
        if (entries.front()->kind != LookupKind::Color || !line ||
            stylefile::parseColor(line->value, ignored)) {
            continue;
        }
        add(warnings, line->line, [&, line = *line] {
            std::string defaults;
            for (const StyleLookupEntry* entry : entries) {
                defaults += (defaults.empty() ? "" : " and ") + std::string(entry->defaultValue) +
                            " (" + managedColorNames[static_cast<int>(entry->field)] + ")";
            }
            const bool one = entries.size() == 1;
            return std::string(line.key) + " " + quotedText(line.value) + " is not a colour; " +
                   (one ? "the default " : "the defaults ") + defaults +
                   (one ? " applies" : " apply");
        });
    }
}

// Keys that will not do what their author meant: set twice (the later line wins), one or two
// edits or the same words from a key the plug-in reads, or holding a character that cannot be
// seen.
void addKeyWarnings(const stylefile::StyleFile& style, Warnings* warnings) {
    // A file of one key over and over is checked once.
    std::optional<std::string_view> lastKey;
    KeyMatch match;
    const InvisibleCharacter* invisible = nullptr;
    for (const stylefile::StyleLine line : style.lines()) {
        if (line.key != lastKey) {
            lastKey = line.key;
            match = matchPluginKey(line.key);
            invisible = match.read ? nullptr : invisibleCharacterIn(line.key);
        }
        if (match.read) {
            const int winner = style.lineOf(line.key)->line;
            if (winner != line.line) {
                add(warnings, line.line, [&] {
                    return std::string(line.key) + " is set on lines " + std::to_string(line.line) +
                           " and " + std::to_string(winner) + "; line " + std::to_string(winner) +
                           " wins";
                });
            }
            continue;
        }
        if (match.nearest == nullptr && invisible == nullptr) {
            continue;
        }
        add(warnings, line.line, [&] {
            std::string text = "unknown key " + quotedText(line.key);
            text += invisible != nullptr
                        ? ": it holds " + describe(*invisible) + (match.nearest ? ";" : "")
                        : ",";
            return match.nearest != nullptr ? text + " did you mean \"" + match.nearest + "\"?"
                                            : text;
        });
    }
}

} // namespace

std::string otherStyleRead(const std::string& hostPath, const std::vector<standin::Call>& pass) {
    for (const standin::Call& call : pass) {
        if (isLookup(call) && call.texts[0] != hostPath) {
            const std::string tooLong = pathTooLong(hostPath);
            return !tooLong.empty() ? tooLong
                                    : "the plug-in asked for \"" + call.texts[0] +
                                          "\", not this style: the colours shown are not this "
                                          "style's";
        }
    }
    return "";
}

Warnings styleWarnings(const stylefile::StyleFile& style,
                       const stylefile::StyleProblems& problems) {
    Warnings warnings;
    for (const auto& problem : problems.first) {
        add(&warnings, problem.line, [&] { return problem.message; });
    }
    // Those the file did not keep lie beyond the last it kept, so beyond any shown.
    warnings.count += problems.count - problems.first.size();
    addKeyWarnings(style, &warnings);
    addColorValueWarnings(style, &warnings);
    return warnings;
}

std::size_t addPassWarnings(const stylefile::StyleFile& style, const std::string& other,
                            const std::vector<standin::Call>& pass, Warnings* warnings) {
    if (!other.empty()) {
        add(warnings, 0, [&] { return other; }); // and nothing of this style was read
        return 0;
    }
    // Keys the plug-in reads in some style, set in this one, that this pass never looked up: one
    // warning each, with the reasons of every lookup of the key that was left out.
    const std::size_t before = warnings->count;
    for (const KeyLookups& entries : lookupsByKey()) {
        const char* key = entries.front()->key;
        const std::optional<stylefile::StyleLine> line = style.lineOf(key);
        const bool read = std::any_of(pass.begin(), pass.end(), [&](const standin::Call& call) {
            return isLookup(call) && call.texts[1] == key;
        });
        std::string reasons;
        for (const StyleLookupEntry* entry : line && !read ? entries : KeyLookups()) {
            // Whether the row is of this lookup, and its gate holds in the pass.
            const auto holds = [&](const Unread& row) {
                const standin::Call* test = row.fragment != nullptr
                                                ? testIn(pass, row.gate, row.fragment)
                                                : lookupIn(pass, row.gate);
                return (row.lookups >> (entry - styleLookups) & 1) != 0 && test != nullptr &&
                       (row.fragment == nullptr || (test->result != 0) == row.contains);
            };
            const Unread* row =
                std::find_if(std::begin(unreadReasons), std::end(unreadReasons), holds);
            if (row != std::end(unreadReasons) && reasons.find(row->reason) == std::string::npos) {
                reasons += (reasons.empty() ? "" : ", and ") + std::string(row->reason);
            }
        }
        if (!reasons.empty()) {
            add(warnings, line->line, [&] {
                return keyName(key) + ", line " + std::to_string(line->line) +
                       ", is not read: " + reasons;
            });
        }
    }
    return warnings->count - before;
}

std::size_t printWarnings(const Output& output, const std::string& path, const Warnings& warnings) {
    for (const auto& [line, text] : warnings.shown) {
        const std::string where = line > 0 ? ":" + std::to_string(line) : "";
        output.err << printable(path + where + ": " + text) << "\n";
    }
    if (warnings.count > warnings.shown.size()) {
        output.err << printable(path) << ": " << warnings.count - warnings.shown.size()
                   << " more warnings not shown\n";
    }
    return warnings.count;
}

} // namespace preview
