#include "tools/preview/title_bar_svg.h"

#include <gtest/gtest.h>

namespace {

preview::AppliedColors distinctColors() {
    return preview::namedColors(
        {RGB(0x11, 0x00, 0x01), RGB(0x22, 0x00, 0x02), RGB(0x33, 0x00, 0x03), RGB(0x44, 0x00, 0x04),
         RGB(0x55, 0x00, 0x05), RGB(0x66, 0x00, 0x06), RGB(0x77, 0x00, 0x07), RGB(0x88, 0x00, 0x08),
         RGB(0x99, 0x00, 0x09), RGB(0xaa, 0x00, 0x0a)});
}

TEST(TitleBarSvg, DrawsEachElementInItsColours) {
    const std::string svg = preview::renderTitleBarSvg(distinctColors(), "test.style");
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    const char* expected[] = {
        // gradients run from the caption colour to its gradient colour
        "<stop offset=\"0\" stop-color=\"#110001\"/>\n      <stop offset=\"1\" "
        "stop-color=\"#220002\"/>",
        "<stop offset=\"0\" stop-color=\"#440004\"/>\n      <stop offset=\"1\" "
        "stop-color=\"#550005\"/>",
        "fill=\"#330003\">Active window</text>",
        "fill=\"#660006\">Inactive window</text>",
        "fill=\"#770007\"/>",
        "fill=\"#880008\">Selected row</text>",
        "fill=\"#990009\" stroke=\"#aa000a\"/>",
        "fill=\"#aa000a\">Tooltip text</text>",
    };
    for (const char* part : expected) {
        EXPECT_NE(svg.find(part), std::string::npos) << part << "\n" << svg;
    }
}

TEST(TitleBarSvg, StyleNameIsEscaped) {
    const std::string svg = preview::renderTitleBarSvg(distinctColors(), "a<b>&\"c\".style");
    EXPECT_NE(svg.find(">a&lt;b&gt;&amp;&quot;c&quot;.style</text>"), std::string::npos) << svg;
}

} // namespace
