#include "tools/preview/title_bar_svg.h"

#include "stylefile/color_text.h"
#include "tools/preview/terminal_text.h"

namespace preview {
namespace {

// Control bytes and invalid UTF-8 are already written out as \xNN, so the document stays XML.
std::string escapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '&'   ? "&amp;"
               : c == '<' ? "&lt;"
               : c == '>' ? "&gt;"
               : c == '"' ? "&quot;"
                          : std::string(1, c);
    }
    return out;
}

std::string hexOf(const AppliedColors& colors, int index) {
    return stylefile::colorText(colorAt(colors, index));
}

// Windows draws a caption gradient from left to right, from the caption colour to its gradient.
std::string gradient(const std::string& id, const std::string& from, const std::string& to) {
    return "    <linearGradient id=\"" + id + "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">\n" +
           "      <stop offset=\"0\" stop-color=\"" + from + "\"/>\n" +
           "      <stop offset=\"1\" stop-color=\"" + to + "\"/>\n" + "    </linearGradient>\n";
}

std::string window(int y, int height, const std::string& background, const std::string& fill,
                   const std::string& title, const std::string& textColor) {
    const std::string top = std::to_string(y);
    return "  <rect x=\"20\" y=\"" + top + "\" width=\"300\" height=\"" + std::to_string(height) +
           "\" fill=\"" + background + "\" stroke=\"#7a7a7a\"/>\n" + "  <rect x=\"20\" y=\"" + top +
           "\" width=\"300\" height=\"26\" fill=\"" + fill + "\"/>\n" + "  <text x=\"30\" y=\"" +
           std::to_string(y + 18) + "\" font-weight=\"bold\" fill=\"" + textColor + "\">" + title +
           "</text>\n";
}

} // namespace

std::string renderTitleBarSvg(const AppliedColors& colors, COLORREF windowColor,
                              const std::string& styleName) {
    const std::string background = stylefile::colorText(windowColor);
    const std::string windowText = stylefile::colorText(readableOn(windowColor));
    const std::string highlight = hexOf(colors, COLOR_HIGHLIGHT);
    const std::string highlightText = hexOf(colors, COLOR_HIGHLIGHTTEXT);
    const std::string infoBackground = hexOf(colors, COLOR_INFOBK);
    const std::string infoText = hexOf(colors, COLOR_INFOTEXT);

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"380\" height=\"250\" "
                      "viewBox=\"0 0 380 250\" font-family=\"Segoe UI, Tahoma, sans-serif\" "
                      "font-size=\"13\">\n";
    svg += "  <defs>\n";
    svg += gradient("active-caption", hexOf(colors, COLOR_ACTIVECAPTION),
                    hexOf(colors, COLOR_GRADIENTACTIVECAPTION));
    svg += gradient("inactive-caption", hexOf(colors, COLOR_INACTIVECAPTION),
                    hexOf(colors, COLOR_GRADIENTINACTIVECAPTION));
    svg += "  </defs>\n";
    svg += "  <rect width=\"380\" height=\"250\" fill=\"#e6e6e6\"/>\n";

    // The inactive window behind, the active one in front with a list and a tooltip.
    svg += window(130, 80, background, "url(#inactive-caption)", "Inactive window",
                  hexOf(colors, COLOR_INACTIVECAPTIONTEXT));
    svg += window(20, 100, background, "url(#active-caption)", "Active window",
                  hexOf(colors, COLOR_CAPTIONTEXT));
    svg += "  <text x=\"30\" y=\"64\" fill=\"" + windowText + "\">Unselected row</text>\n";
    svg += "  <rect x=\"24\" y=\"72\" width=\"292\" height=\"20\" fill=\"" + highlight + "\"/>\n";
    svg += "  <text x=\"30\" y=\"86\" fill=\"" + highlightText + "\">Selected row</text>\n";
    svg += "  <text x=\"30\" y=\"108\" fill=\"" + windowText + "\">Unselected row</text>\n";
    svg += "  <rect x=\"210\" y=\"100\" width=\"140\" height=\"22\" fill=\"" + infoBackground +
           "\" stroke=\"#000000\"/>\n"; // Windows draws it black
    svg += "  <text x=\"218\" y=\"115\" fill=\"" + infoText + "\">Tooltip text</text>\n";
    svg += "  <text x=\"20\" y=\"236\" font-size=\"11\" fill=\"#505050\">" +
           escapeXml(printable(styleName)) + "</text>\n";
    svg += "</svg>\n";
    return svg;
}

} // namespace preview
