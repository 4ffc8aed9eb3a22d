#include "stylefile/style_file.h"
#include "stylefile/color_text.h"
#include "tests/temp_style.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using stylefile::StyleFile;
using stylefile::StyleProblems;

struct LookupCase {
    const char* name;
    const char* text;
    const char* key;
    std::optional<std::string> value;
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class StyleLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(StyleLookup, FindsTheValueTheRulesGive) {
    const LookupCase& c = GetParam();
    const StyleFile style = StyleFile::parse(c.text);
    const std::optional<std::string_view> found = style.find(c.key);
    if (c.value) {
        ASSERT_TRUE(found);
        EXPECT_EQ(*found, *c.value);
    } else {
        EXPECT_FALSE(found);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StyleLookup,
    testing::Values(
        LookupCase{"Plain", "menu.hilite.color: #ff0000\n", "menu.hilite.color:", "#ff0000"},
        LookupCase{"ValueTrimmed", "menu.title:   flat solid  \t\r\n", "menu.title:", "flat solid"},
        LookupCase{"NoSpaceAfterColon", "menu.title:raised\n", "menu.title:", "raised"},
        LookupCase{"KeyKeepsOnlyFirstColon", "a.b: c: d\n", "a.b:", "c: d"},
        LookupCase{"KeyTrimmed", "  menu.title  : solid\n", "menu.title:", "solid"},
        LookupCase{"KeyWithoutColonNotFound", "menu.title: solid\n", "menu.title", std::nullopt},
        LookupCase{"CaseInsensitiveLookup", "Window.Label.Focus: ParentRelative\n",
                   "window.label.focus:", "ParentRelative"},
        LookupCase{"CaseInsensitiveStored", "window.label.focus: solid\n",
                   "WINDOW.LABEL.FOCUS:", "solid"},
        LookupCase{"LaterLineWins", "menu.title: one\nMENU.TITLE: two\n", "menu.title:", "two"},
        LookupCase{"BangComment", "! menu.title: hidden\n", "menu.title:", std::nullopt},
        LookupCase{"HashComment", "#menu.title: hidden\n", "menu.title:", std::nullopt},
        LookupCase{"IndentedComment", "   ! menu.title: hidden\n", "menu.title:", std::nullopt},
        LookupCase{"HashValueIsNoComment", "menu.title.color: #123456\n",
                   "menu.title.color:", "#123456"},
        LookupCase{"EmptyValue", "menu.title:\n", "menu.title:", ""},
        LookupCase{"CrLfLines", "a: 1\r\nb: 2\r\n", "b:", "2"},
        LookupCase{"LoneCrLines", "a: 1\rb: 2\r", "b:", "2"},
        LookupCase{"LoneCrFirstLine", "a: 1\rb: 2\r", "a:", "1"},
        LookupCase{"ByteOrderMarkSkipped", "\xEF\xBB\xBFmenu.title: solid\n",
                   "menu.title:", "solid"},
        LookupCase{"ValueKeepsWhatFollowsIt", "menu.title.color: #123456 ! old\n",
                   "menu.title.color:", "#123456 ! old"},
        LookupCase{"LastLineWithoutNewline", "a: 1\nb: 2", "b:", "2"},
        LookupCase{"AfterBadLine", "garbage\nb: 2\n", "b:", "2"},
        LookupCase{"Absent", "a: 1\n", "b:", std::nullopt}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(StyleProblems, BadLinesAreReportedWithTheirNumbersAndSkipped) {
    StyleProblems problems;
    const StyleFile style = StyleFile::parse("! comment\n"
                                             "\n"
                                             "menu.title: solid\n"
                                             "just words\n"
                                             "   \t \n"
                                             ": no key\n"
                                             "menu.frame: raised",
                                             &problems);
    ASSERT_EQ(problems.count, 2u);
    ASSERT_EQ(problems.first.size(), 2u);
    EXPECT_EQ(problems.first[0].line, 4);
    EXPECT_EQ(problems.first[1].line, 6);
    EXPECT_FALSE(problems.first[0].message.empty());
    EXPECT_EQ(style.size(), 2u);
    EXPECT_TRUE(style.find("menu.frame:"));
}

TEST(StyleProblems, LinesAreCountedAlikeWhateverTheirEnding) {
    for (const char* ending : {"\n", "\r\n", "\r"}) {
        const std::string e = ending;
        StyleProblems problems;
        const StyleFile style = StyleFile::parse(
            "\xEF\xBB\xBF! first" + e + e + "menu.title: solid" + e + "words" + e + "Menu.Frame: x",
            &problems);
        ASSERT_EQ(problems.count, 1u);
        EXPECT_EQ(problems.first[0].line, 4);
        ASSERT_TRUE(style.lineOf("menu.frame:"));
        EXPECT_EQ(style.lineOf("menu.frame:")->line, 5);
        EXPECT_EQ(style.lineOf("menu.frame:")->key, "Menu.Frame:") << "as written";
    }
}

TEST(StyleLines, KeepEveryKeyLineInOrderAndTheLaterOneGivesTheValue) {
    const StyleFile style = StyleFile::parse("a: 1\nB: 2\nA: 3\n");
    ASSERT_EQ(style.lines().size(), 3u);
    EXPECT_EQ(style.lines()[1].key, "B:");
    EXPECT_EQ(style.lineOf("a:")->line, 3);
    EXPECT_EQ(style.size(), 2u);
}

TEST(StyleProblems, AreAllCountedAndTheFirstKept) {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += i % 2 == 0 ? "words\n" : "menu.title: solid\n";
    }
    StyleProblems problems;
    StyleFile::parse(text, &problems);
    EXPECT_EQ(problems.count, 500u);
    ASSERT_EQ(problems.first.size(), stylefile::MOST_PROBLEMS_KEPT);
    EXPECT_EQ(problems.first.front().line, 1);
    EXPECT_EQ(problems.first.back().line, 2 * static_cast<int>(stylefile::MOST_PROBLEMS_KEPT) - 1);
}

TEST(StyleLines, ManyKeysAreEachFoundInAnyCaseWithTheirLine) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "Key." + std::to_string(i) + " : value " + std::to_string(i) + "\n";
    }
    text += "KEY.17: later\n";
    const StyleFile style = StyleFile::parse(text);
    EXPECT_EQ(style.size(), 5000u);
    EXPECT_EQ(style.lines().size(), 5001u);
    for (int i = 0; i < 5000; i += 7) {
        const auto line = style.lineOf("key." + std::to_string(i) + ":");
        ASSERT_TRUE(line) << i;
        EXPECT_EQ(line->line, i == 17 ? 5001 : i + 1);
        EXPECT_EQ(line->value, i == 17 ? "later" : "value " + std::to_string(i));
    }
    EXPECT_EQ(style.lines()[17].key, "Key.17:");
    EXPECT_FALSE(style.find("key.5000:"));
}

TEST(StyleProblems, CommentsAndBlankLinesAreNoProblem) {
    StyleProblems problems;
    StyleFile::parse("# a\n! b\n\n \r\n", &problems);
    EXPECT_EQ(problems.count, 0u);
}

struct ColorCase {
    const char* text;
    std::optional<COLORREF> color;
};

void PrintTo(const ColorCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class ColorText : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorText, ParsesOnlyHashHexForms) {
    COLORREF color = 0x12345678;
    const bool parsed = stylefile::parseColor(GetParam().text, color);
    ASSERT_EQ(parsed, GetParam().color.has_value()) << GetParam().text;
    if (parsed) {
        EXPECT_EQ(color, *GetParam().color) << GetParam().text;
    } else {
        EXPECT_EQ(color, 0x12345678u) << "left untouched";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ColorText,
    testing::Values(ColorCase{"#0a246a", RGB(0x0a, 0x24, 0x6a)},
                    ColorCase{"#A6CAF0", RGB(0xa6, 0xca, 0xf0)},
                    ColorCase{"#aBcDeF", RGB(0xab, 0xcd, 0xef)},
                    ColorCase{"#fff", RGB(0xff, 0xff, 0xff)},
                    ColorCase{"#1aF", RGB(0x11, 0xaa, 0xff)}, ColorCase{"#000000", RGB(0, 0, 0)},
                    ColorCase{"", std::nullopt}, ColorCase{"#", std::nullopt},
                    ColorCase{"0a246a", std::nullopt}, ColorCase{"#0a246", std::nullopt},
                    ColorCase{"#0a246a0", std::nullopt}, ColorCase{"#0g246a", std::nullopt},
                    ColorCase{"#12", std::nullopt}, ColorCase{"#0a246a ", std::nullopt},
                    ColorCase{"rgb:0a/24/6a", std::nullopt}, ColorCase{"red", std::nullopt}));

class StyleFileReading : public testing::Test {
  protected:
    std::string path(const std::string& name) { return testing::TempDir() + "reading-" + name; }
    std::string write(const std::string& name, const std::string& text) {
        return tests::writeStyle("reading-" + name, text);
    }
    // The reason readStyleFile gives, or "read" when it read the file.
    std::string reasonFor(const std::string& at, stylefile::ReadFunction read = nullptr) {
        StyleFile style;
        std::string error;
        if (stylefile::readStyleFile(at, &style, &error, nullptr, read)) {
            return "read";
        }
        const std::string prefix = "cannot read style \"" + at + "\": ";
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
        return error.substr(prefix.size());
    }
};

TEST_F(StyleFileReading, RefusesWhatIsNoStyleFileAndSaysWhatItIs) {
    const std::string fifo = path("fifo");
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    const std::string loop = path("loop");
    unlink(loop.c_str());
    ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0) << std::strerror(errno);
    const std::string large = path("large");
    std::ofstream(large).close();
    ASSERT_EQ(truncate(large.c_str(), stylefile::MAX_STYLE_FILE_SIZE + 1), 0);

    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {write("plain", "menu.title: solid\n"), "read"},
        {path("missing"), "No such file or directory"},
        {testing::TempDir(), "is a directory"},
        {fifo, "is a FIFO"}, // with no writer: opening it must not wait
        {"/dev/null", "is a character device"},
        {loop, "Too many levels of symbolic links"},
        {large, "too large for a style file (more than 16 MiB)"},
        {write("binary", std::string("menu.title: solid\n\0\x01\x02", 21)), "not a text file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reasonFor(c.path), c.reason) << c.path;
    }
}

// Gives the first bytes of the file, then fails as a disk might.
long failingAfterFirstRead(int descriptor, void* buffer, std::size_t size) {
    static int calls = 0;
    if (++calls % 2 == 0) {
        errno = EIO;
        return -1;
    }
    return static_cast<long>(read(descriptor, buffer, size < 8 ? size : 8));
}

TEST_F(StyleFileReading, AReadThatFailsPartWayIsAnError) {
    const std::string at = write("failing", "menu.title: solid\nmenu.title.color: #123456\n");
    EXPECT_EQ(reasonFor(at, failingAfterFirstRead), "Input/output error");
}

} // namespace
