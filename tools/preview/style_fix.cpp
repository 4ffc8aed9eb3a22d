#include "tools/preview/style_fix.h"

namespace preview {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

} // namespace

std::string mendedStyle(std::string_view text, const std::vector<StyleChange>& changes) {
    std::string mended;
    std::string ending; // the first line ending the file uses
    // Lines are counted as the style reader counts them: after a byte-order mark, ending in LF,
    // CRLF or a lone CR.
    std::size_t at = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    mended.append(text.substr(0, at));
    for (int number = 1; at < text.size(); ++number) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::size_t next =
            end == text.size() ? end : end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        std::string_view line = text.substr(at, end - at);
        if (ending.empty() && next > end) {
            ending = text.substr(end, next - end);
        }
        for (const StyleChange& change : changes) {
            const std::size_t colon = line.find(':');
            if (change.line != number || colon == std::string_view::npos) {
                continue;
            }
            std::size_t from = colon + 1, to = line.size();
            while (from < to && isSpace(line[from])) {
                ++from;
            }
            while (to > from && isSpace(line[to - 1])) {
                --to;
            }
            mended.append(line.substr(0, from)).append(change.value).append(line.substr(to));
            line = {};
        }
        mended.append(line).append(text.substr(end, next - end));
        at = next;
    }
    ending = ending.empty() ? "\n" : ending;
    for (const StyleChange& change : changes) {
        if (change.line == 0) {
            if (!mended.empty() && mended.back() != '\n' && mended.back() != '\r') {
                mended += ending;
            }
            mended += change.key + " " + change.value + ending;
        }
    }
    return mended;
}

} // namespace preview
