#include "tools/preview/host_trace.h"

#include "colors/style_lookups.h"
#include "stylefile/color_text.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/terminal_text.h"

#include <cstdio>

namespace preview {
namespace {

// How the host came by a lookup's answer, in words.
std::string answerWords(const standin::Call& call) {
    using From = standin::Call::From;
    const std::string line = "line " + std::to_string(call.line);
    return call.from == From::Line       ? line
           : call.from == From::Absent   ? "default"
           : call.from == From::NotColor ? "default: the value on " + line + " is not a colour"
                                         : "default: no style at this path";
}

std::string colorName(int index) {
    const int at = placeOf(index);
    return at >= 0                 ? managedColorNames[at]
           : index == COLOR_WINDOW ? "COLOR_WINDOW"
                                   : std::to_string(index);
}

// A text argument or answer as the trace shows it, or null; quotes and backslashes inside it are
// escaped, so where it ends stays plain.
std::string quoted(bool given, const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? "\\x22" : c == '\\' ? "\\x5c" : std::string(1, c);
    }
    return given ? out + "\"" : "null";
}

} // namespace

void printTrace(const Output& output, const std::vector<standin::Call>& pass) {
    for (std::size_t at = 0; at < pass.size(); ++at) {
        const standin::Call& call = pass[at];
        // The call with its first count arguments, texts all, and the arrow to its answer.
        const auto called = [&](std::size_t count) {
            std::string text = call.function + "(";
            for (std::size_t i = 0; i < count; ++i) {
                text += (i > 0 ? ", " : "") + quoted(call.arguments[i] != 0, call.texts[i]);
            }
            return text + ") -> ";
        };
        const bool text = call.function == "ReadString";
        std::string line;
        if (call.function == "GetMWWnd") {
            char handle[24];
            std::snprintf(handle, sizeof handle, "0x%lx", static_cast<unsigned long>(call.result));
            line = called(0) + handle;
        } else if (call.function == "stylePath") {
            line = called(1) + quoted(call.result != 0, call.resultText);
        } else if (text && call.texts[2] == ABSENT_TEXT) {
            // Whether the style sets a key, asked with a default no value has; the test of the
            // answer follows, and says it.
            const bool tested = at + 1 < pass.size() && pass[at + 1].function == "IsInString";
            at += tested ? 1 : 0;
            line = called(2) + (tested && pass[at].result == 0
                                    ? quoted(true, call.resultText) + ": the key is set"
                                    : "nothing: the key is not set");
        } else if (text || call.function == "ReadColor") {
            line = called(3) +
                   (text ? quoted(call.result != 0, call.resultText) : call.resultText) + " (" +
                   answerWords(call) + ")";
        } else if (call.function == "IsInString") {
            line = called(2) + call.resultText;
        } else if (call.function == "GetSysColor") {
            line = "GetSysColor(" + colorName(static_cast<int>(call.arguments[0])) + ") -> " +
                   stylefile::colorText(static_cast<COLORREF>(call.result));
        } else if (call.function == "SetSysColors") {
            line = "SetSysColors(" + std::to_string(call.colors.size()) + " colours)";
            for (const auto& [index, color] : call.colors) {
                output.out << "trace: " << line << "\n";
                line = "  " + colorName(index) + " " + std::to_string(index) + " " +
                       stylefile::colorText(color);
            }
        } else {
            continue; // the rest of Windows: the window and its messages
        }
        output.out << "trace: " << printable(line) << "\n";
    }
}

} // namespace preview
