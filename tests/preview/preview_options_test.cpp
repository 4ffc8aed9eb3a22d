#include "tools/preview/preview_options.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Parsed {
    bool ok;
    preview::Options options;
    std::string error;
};

Parsed parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv = {"tintlet-preview"};
    argv.insert(argv.end(), arguments);
    Parsed parsed;
    parsed.ok = preview::parseOptions(static_cast<int>(argv.size()), argv.data(), &parsed.options,
                                      &parsed.error);
    return parsed;
}

TEST(PreviewOptions, AcceptsOptionsAndStylesInAnyOrder) {
    const Parsed p = parse({"a.style", "--trace", "--svg", "out.svg", "b.style", "--watch"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.trace);
    EXPECT_TRUE(p.options.watch);
    EXPECT_EQ(p.options.svgPath, "out.svg");
    EXPECT_EQ(p.options.styles, (std::vector<std::string>{"a.style", "b.style"}));
}

TEST(PreviewOptions, WindowColourAndStrict) {
    EXPECT_EQ(parse({}).options.window, RGB(255, 255, 255)) << "white, as on Windows";
    const Parsed p = parse({"--window", "#102030", "--strict"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.window, RGB(0x10, 0x20, 0x30));
    EXPECT_TRUE(p.options.strict);
}

TEST(PreviewOptions, ValueAfterEqualsAndStylesAfterDoubleDash) {
    const Parsed p = parse({"--svg=x.svg", "--watch-limit=3", "--", "--odd.style"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.svgPath, "x.svg");
    EXPECT_EQ(p.options.watchLimit, 3);
    EXPECT_TRUE(p.options.watch);
    EXPECT_EQ(p.options.styles, (std::vector<std::string>{"--odd.style"}));
}

TEST(PreviewOptions, ErrorsNameTheProblem) {
    const struct {
        std::initializer_list<const char*> arguments;
        const char* error;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x", "a.style"}, "unknown option '-x'"},
        {{"--trace=yes"}, "unknown option '--trace=yes'"},
        {{"--svg"}, "option --svg needs an argument"},
        {{"--svg="}, "option --svg needs an argument"},
        {{"--svg", "-x"}, "option --svg needs an argument, not '-x'"},
        {{"--window", "red"}, "option --window needs a colour #rrggbb or #rgb, not 'red'"},
        {{"--window", "#12345"}, "option --window needs a colour #rrggbb or #rgb, not '#12345'"},
        {{"--watch-limit", "0"}, "option --watch-limit needs a positive number"},
        {{"--watch-limit", "two"}, "option --watch-limit needs a positive number"},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.arguments);
        EXPECT_FALSE(p.ok) << c.error;
        EXPECT_EQ(p.error.rfind(c.error, 0), 0u) << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << "one line";
    }
}

} // namespace
