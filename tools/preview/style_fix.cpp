#include "tools/preview/style_fix.h"

#include "stylefile/style_file.h"

#include <algorithm>

namespace preview {

std::string mendedStyle(std::string_view text, const std::vector<StyleChange>& changes) {
    // Lines are taken as the style reader takes them, so the numbers are its own.
    const std::string_view mark = stylefile::BYTE_ORDER_MARK;
    const std::size_t start = text.substr(0, mark.size()) == mark ? mark.size() : 0;
    std::string_view rest = text.substr(start);
    std::string mended(text.substr(0, start));
    std::string_view ending; // the first line ending the file uses
    for (int number = 1; !rest.empty(); ++number) {
        const std::string_view before = rest;
        const std::string_view line = stylefile::nextLine(rest);
        const std::string_view end =
            before.substr(line.size(), before.size() - rest.size() - line.size());
        ending = ending.empty() ? end : ending;
        const std::size_t colon = line.find(':');
        const auto change = std::find_if(changes.begin(), changes.end(), [&](const auto& c) {
            return c.line == number && colon != std::string_view::npos;
        });
        if (change == changes.end()) {
            mended.append(line).append(end);
            continue;
        }
        // The value as the reader trims it; what stands around it stays.
        const std::string_view value = stylefile::trim(line.substr(colon + 1));
        const std::size_t from = value.empty() ? line.size() : value.data() - line.data();
        mended.append(line.substr(0, from)).append(change->value);
        mended.append(line.substr(from + value.size())).append(end);
    }
    const std::string lineEnd = ending.empty() ? "\n" : std::string(ending);
    for (const StyleChange& change : changes) {
        if (change.line == 0) {
            if (!mended.empty() && mended.back() != '\n' && mended.back() != '\r') {
                mended += lineEnd;
            }
            mended += change.key + " " + change.value + lineEnd;
        }
    }
    return mended;
}

} // namespace preview
