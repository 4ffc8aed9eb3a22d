#include "tools/preview/title_bar_svg.h"

#include "stylefile/color_text.h"
#include "tools/preview/terminal_text.h"

namespace preview {
namespace {

// The picture, each {NAME} standing for a colour: the ten applied ones by their constants' names.
// Windows draws a caption gradient from left to right, from the caption colour to its gradient;
// the inactive window lies behind, the active one in front with a list and a tooltip, whose border
// Windows draws black.
const char* const PICTURE =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"380\" height=\"250\" "
    "viewBox=\"0 0 380 250\" font-family=\"Segoe UI, Tahoma, sans-serif\" font-size=\"13\">"
    R"svg(
  <defs>
    <linearGradient id="active-caption" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="{COLOR_ACTIVECAPTION}"/>
      <stop offset="1" stop-color="{COLOR_GRADIENTACTIVECAPTION}"/>
    </linearGradient>
    <linearGradient id="inactive-caption" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="{COLOR_INACTIVECAPTION}"/>
      <stop offset="1" stop-color="{COLOR_GRADIENTINACTIVECAPTION}"/>
    </linearGradient>
  </defs>
  <rect width="380" height="250" fill="#e6e6e6"/>
  <rect x="20" y="130" width="300" height="80" fill="{COLOR_WINDOW}" stroke="#7a7a7a"/>
  <rect x="20" y="130" width="300" height="26" fill="url(#inactive-caption)"/>
  <text x="30" y="148" font-weight="bold" fill="{COLOR_INACTIVECAPTIONTEXT}">Inactive window</text>
  <rect x="20" y="20" width="300" height="100" fill="{COLOR_WINDOW}" stroke="#7a7a7a"/>
  <rect x="20" y="20" width="300" height="26" fill="url(#active-caption)"/>
  <text x="30" y="38" font-weight="bold" fill="{COLOR_CAPTIONTEXT}">Active window</text>
  <text x="30" y="64" fill="{COLOR_WINDOWTEXT}">Unselected row</text>
  <rect x="24" y="72" width="292" height="20" fill="{COLOR_HIGHLIGHT}"/>
  <text x="30" y="86" fill="{COLOR_HIGHLIGHTTEXT}">Selected row</text>
  <text x="30" y="108" fill="{COLOR_WINDOWTEXT}">Unselected row</text>
  <rect x="210" y="100" width="140" height="22" fill="{COLOR_INFOBK}" stroke="#000000"/>
  <text x="218" y="115" fill="{COLOR_INFOTEXT}">Tooltip text</text>
  <text x="20" y="236" font-size="11" fill="#505050">{style}</text>
</svg>
)svg";

// Each from in text replaced by to, which is not looked into again.
void replaceAll(std::string* text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text->find(from, at)) != std::string::npos; at += to.size()) {
        text->replace(at, from.size(), to);
    }
}

} // namespace

std::string renderTitleBarSvg(const AppliedColors& colors, COLORREF windowColor,
                              const std::string& styleName) {
    std::string svg = PICTURE;
    for (const AppliedColor& color : colors) {
        replaceAll(&svg, "{" + std::string(color.name) + "}", stylefile::colorText(color.value));
    }
    replaceAll(&svg, "{COLOR_WINDOW}", stylefile::colorText(windowColor));
    replaceAll(&svg, "{COLOR_WINDOWTEXT}", stylefile::colorText(readableOn(windowColor)));
    // Control bytes and invalid UTF-8 are already written out as \xNN, so the document stays XML.
    std::string name = printable(styleName);
    replaceAll(&name, "&", "&amp;"); // first: the entities below bring their own
    replaceAll(&name, "<", "&lt;");
    replaceAll(&name, ">", "&gt;");
    replaceAll(&name, "\"", "&quot;");
    replaceAll(&svg, "{style}", name);
    return svg;
}

} // namespace preview
