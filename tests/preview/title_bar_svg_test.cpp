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
    const std::string svg =
        preview::renderTitleBarSvg(distinctColors(), RGB(0xff, 0xff, 0xff), "test.style");
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
        "fill=\"#990009\" stroke=\"#000000\"/>", // the tooltip's border, black as Windows draws it
        "fill=\"#aa000a\">Tooltip text</text>",
    };
    for (const char* part : expected) {
        EXPECT_NE(svg.find(part), std::string::npos) << part << "\n" << svg;
    }
}

// The selected row is seen on the window colour given, with the other rows' text readable on it.
TEST(TitleBarSvg, DrawsTheWindowInItsColourWithTextThatReads) {
    const struct {
        COLORREF window;
        const char* background;
        const char* text;
    } cases[] = {{RGB(0xff, 0xff, 0xff), "#ffffff", "#000000"},
                 {RGB(0x20, 0x20, 0x28), "#202028", "#ffffff"}};
    for (const auto& c : cases) {
        const std::string svg = preview::renderTitleBarSvg(distinctColors(), c.window, "x.style");
        EXPECT_NE(svg.find(std::string("height=\"100\" fill=\"") + c.background), std::string::npos)
            << svg;
        EXPECT_NE(svg.find(std::string("fill=\"") + c.text + "\">Unselected row"),
                  std::string::npos)
            << svg;
    }
}

TEST(TitleBarSvg, StyleNameIsEscaped) {
    const std::string svg =
        preview::renderTitleBarSvg(distinctColors(), RGB(0xff, 0xff, 0xff), "a<b>&\"c\".style");
    EXPECT_NE(svg.find(">a&lt;b&gt;&amp;&quot;c&quot;.style</text>"), std::string::npos) << svg;
}

} // namespace
