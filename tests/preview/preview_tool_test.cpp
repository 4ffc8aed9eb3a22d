// The built tintlet-preview, run as a user would.
#include "tool_process.h"
#include "tests/temp_style.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The tool's messages without those of keys the plug-in does not read in that style, which the
// bundled styles set for the host.
std::string withoutUnreadKeys(const std::string& messages) {
    std::istringstream lines(messages);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        kept += line.find(", is not read: ") == std::string::npos ? line + "\n" : "";
    }
    return kept;
}

// Runs the tool with arguments, or the shell command given instead.
ToolRun runTool(const std::string& arguments, const std::string& shellCommand = "") {
    // Of its own: CTest runs the tests of this file side by side.
    std::string errPath = testing::TempDir() + "preview-stderr-XXXXXX";
    const int errFile = mkstemp(errPath.data());
    if (errFile < 0) {
        ADD_FAILURE() << "cannot create " << errPath;
        return {};
    }
    close(errFile);
    // Stopped by `timeout` should it hang, so a regression fails here rather than stalling.
    const std::string command =
        shellCommand.empty()
            ? std::string("timeout 30 '") + PREVIEW_TOOL + "' " + arguments + " 2>'" + errPath + "'"
            : "timeout 30 sh -c \"" + shellCommand + "\" 2>'" + errPath + "'";
    ToolRun run{};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(errPath);
    std::remove(errPath.c_str());
    return run;
}

std::string style(const char* name) {
    return std::string("'") + STYLES_DIR + "/" + name + "'";
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// What each bundled style makes the plug-in apply, read from the style by the rules.
struct BundledStyle {
    const char* file;
    std::array<const char*, 10> colors; // indices 2, 27, 9, 3, 28, 19, 13, 14, 24, 23
};

const BundledStyle bundledStyles[] = {
    // gradient titles behind parent-relative labels
    {"harbour-dusk.style",
     {"#16324f", "#4f7ca8", "#f4f1e8", "#8c96a0", "#c4ccd4", "#101418", "#e0a030", "#1b1200",
      "#16324f", "#f4f1e8"}},
    // solid labels: one colour each, no gradient
    {"slate-solid.style",
     {"#2e3338", "#2e3338", "#e8eaec", "#b8bcc0", "#b8bcc0", "#2e3338", "#177070", "#ffffff",
      "#2e3338", "#fafafa"}},
    // a white highlight on the white window falls back to the menu title's colours
    {"fern-relative.style",
     {"#2f5d34", "#7fae6a", "#ffffff", "#a9bfa2", "#d6e2cf", "#eef3ea", "#3c6e47", "#f6fbf2",
      "#3c6e47", "#f6fbf2"}},
};

TEST(PreviewTool, ReportsTheColoursEachBundledStyleApplies) {
    const char* names[] = {
        "COLOR_ACTIVECAPTION              2", "COLOR_GRADIENTACTIVECAPTION     27",
        "COLOR_CAPTIONTEXT                9", "COLOR_INACTIVECAPTION            3",
        "COLOR_GRADIENTINACTIVECAPTION   28", "COLOR_INACTIVECAPTIONTEXT       19",
        "COLOR_HIGHLIGHT                 13", "COLOR_HIGHLIGHTTEXT             14",
        "COLOR_INFOBK                    24", "COLOR_INFOTEXT                  23"};
    for (const BundledStyle& bundled : bundledStyles) {
        const ToolRun run = runTool(style(bundled.file));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(withoutUnreadKeys(run.err), "") << bundled.file;
        for (std::size_t i = 0; i < 10; ++i) {
            const std::string line = std::string("  ") + names[i] + "  " + bundled.colors[i] + "  ";
            EXPECT_NE(run.out.find(line), std::string::npos)
                << bundled.file << ": " << line << run.out;
        }
        for (const char* pair :
             {"caption text on caption (focused)", "caption text on caption (unfocused)",
              "highlight text on highlight", "tooltip text on tooltip"}) {
            EXPECT_EQ(count(run.out, std::string("    ") + pair + " "), 1) << pair;
        }
    }
}

TEST(PreviewTool, WarnsOfTheLowContrastItWasWrittenWith) {
    const ToolRun run = runTool(style("fern-relative.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    // Soft text on the light end of each gradient.
    EXPECT_NE(run.out.find("caption text on caption (focused)      2.57:1  warning: below 4.5:1  "
                           "(at the gradient's end, #7fae6a)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("caption text on caption (unfocused)    1.19:1  warning: below 4.5:1  "
                           "(at the gradient's end, #d6e2cf)\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(count(run.out, "warning"), 2) << run.out;
}

TEST(PreviewTool, WithoutAStyleUsesTheBundledOneFromAnyFolder) {
    const ToolRun run = runTool("", std::string("cd / && exec '") + PREVIEW_TOOL + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(std::string("start: ") + BUNDLED_STYLE + "\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("COLOR_ACTIVECAPTION              2  #16324f"), std::string::npos);
}

// An installed copy, stripped as make install strips it, names no folder of the build, brings its
// manual page and guides, finds what it brings beside itself, run from any folder, and says in
// one line what a screenshot lacks, be it of its own installation or of the machine.
TEST(InstalledTool, FindsItsOwnFilesAndNamesWhatAScreenshotLacks) {
    const std::string prefix = testing::TempDir() + "installed-preview";
    ASSERT_EQ(std::system(("rm -rf '" + prefix + "' && '" + CMAKE_COMMAND + "' --install '" +
                           BINARY_DIR + "' --prefix '" + prefix + "' --strip >/dev/null")
                              .c_str()),
              0);
    const std::string tool = prefix + "/bin/tintlet-preview", binary = readFile(tool);
    // The sanitizers name each source in their reports; no build names its build tree.
    const std::string styles = STYLES_DIR;
    const std::string folder = SANITIZED ? BINARY_DIR : styles.substr(0, styles.rfind('/') + 1);
    for (const std::string& part : {std::string(".symtab"), std::string(".debug_"), folder}) {
        EXPECT_EQ(binary.find(part), std::string::npos) << part;
    }
    for (const char* file :
         {"man/man1/tintlet-preview.1", "doc/tintlet/README.md", "doc/tintlet/docs/screenshots.md",
          "doc/tintlet/docs/screenshot-harbour-dusk.png"}) {
        EXPECT_EQ(access((prefix + "/share/" + file).c_str(), R_OK), 0) << file;
    }
    const ToolRun bundled = runTool("", "cd / && exec '" + tool + "'");
    EXPECT_EQ(bundled.status, 0) << bundled.err;
    EXPECT_EQ(
        bundled.out.rfind("start: " + prefix + "/share/tintlet/styles/harbour-dusk.style\n", 0), 0u)
        << bundled.out;

    // Wine's two commands as stand-ins that do nothing, on PATH only where a case puts them.
    const std::string programs = prefix + "/libexec/tintlet/windows", wine = prefix + "/wine/";
    const struct {
        std::string setUp;
        std::string path;
        std::string lacking;
    } cases[] = {
        {"", "/usr/bin:/bin",
         "Marlwood.exe and Tintlet.dll in " + programs +
             " (make windows64 builds them; make install installs them)"},
        {"mkdir -p '" + programs + "' '" + wine + "' && cd '" + programs +
             "' && touch Marlwood.exe Tintlet.dll && cd '" + wine +
             "' && printf '#!/bin/sh\\n' | tee wine64 > wineserver && chmod +x wine64 wineserver",
         prefix, "64-bit Wine (apt-get install wine wine64)"},
        {"", wine, "Xvfb, a virtual X server (apt-get install xvfb)"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(std::system(c.setUp.empty() ? "true" : c.setUp.c_str()), 0) << c.setUp;
        const ToolRun run = runTool("", "cd / && exec env PATH='" + c.path + "' XDG_CACHE_HOME='" +
                                            prefix + "' '" + tool + "' --screenshot '" + prefix +
                                            "/shot.png' " + style("slate-solid.style"));
        EXPECT_EQ(run.status, 1) << c.path;
        EXPECT_EQ(run.err, "tintlet-preview: --screenshot needs " + c.lacking + "\n");
        EXPECT_EQ(run.out, "") << c.path;
    }
}

TEST(PreviewTool, EachFurtherStyleIsOneChangeWithItsOwnReport) {
    const ToolRun run =
        runTool(style("harbour-dusk.style") + " " + style("slate-solid.style") + " " +
                style("fern-relative.style") + " " + style("harbour-dusk.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(run.out, "start: "), 1);
    EXPECT_EQ(count(run.out, "contrast:"), 4);
    const std::size_t start = run.out.find("start: "), one = run.out.find("change 1: "),
                      two = run.out.find("change 2: "), three = run.out.find("change 3: ");
    ASSERT_NE(three, std::string::npos) << run.out;
    EXPECT_LT(start, one);
    EXPECT_LT(one, two);
    EXPECT_LT(two, three);
    EXPECT_NE(run.out.find("slate-solid.style", one), std::string::npos);
    // The last change went back to the first style and to its colours.
    EXPECT_NE(run.out.find("COLOR_HIGHLIGHT                 13  #e0a030", three),
              std::string::npos);
}

TEST(PreviewTool, TraceShowsWhyAColourWasChosen) {
    const ToolRun run = runTool("--trace " + style("fern-relative.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("trace: GetMWWnd() -> 0x"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\", \"menu.hilite.color:\", \"#0a246a\") -> #ffffff (line 20)\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\", \"menu.hilite.colorTo:\") -> \"#FFF\": the key is set\n"),
              std::string::npos);
    // The default a presence test asks with is the plug-in's own business.
    EXPECT_EQ(run.out.find("doesnotexist"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("trace: IsInString(\"ParentRelative\", \"parentrelative\") -> true\n"),
              std::string::npos);
    // The trace comes before the report of the step it led to.
    EXPECT_LT(run.out.find("trace: "), run.out.find("start: "));
}

TEST(PreviewTool, SvgShowsTheLastStyle) {
    const std::string svgPath = testing::TempDir() + "preview-test.svg";
    std::remove(svgPath.c_str());
    const ToolRun run = runTool("--svg '" + svgPath + "' " + style("harbour-dusk.style") + " " +
                                style("slate-solid.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = readFile(svgPath);
    for (const char* color : bundledStyles[1].colors) {
        EXPECT_NE(svg.find(std::string("\"") + color + "\""), std::string::npos) << color;
    }
    EXPECT_EQ(svg.find("#e0a030"), std::string::npos) << "nothing of the first style";
    EXPECT_NE(svg.find("slate-solid.style"), std::string::npos);
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

TEST(PreviewTool, ErrorsAreOneLineAndANonZeroExit) {
    const std::string fifo = testing::TempDir() + "style-fifo";
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string loop = testing::TempDir() + "style-loop";
    unlink(loop.c_str());
    ASSERT_EQ(symlink(loop.c_str(), loop.c_str()), 0);
    const std::string large = tests::writeStyle("large.style", "");
    ASSERT_EQ(truncate(large.c_str(), 17 << 20), 0);
    const std::string slate = style("slate-solid.style");
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {"--bogus", 2, "unknown option '--bogus'"},
        {"--svg", 2, "option --svg needs an argument"},
        {"--svg --trace " + slate, 2, "option --svg needs an argument, not '--trace'"},
        {"/nonexistent/missing.style", 1,
         "cannot read style \"/nonexistent/missing.style\": No such file or directory"},
        {slate + " /nonexistent/later.style", 1,
         "cannot read style \"/nonexistent/later.style\": No such file or directory"},
        {quoted(STYLES_DIR), 1,
         std::string("cannot read style \"") + STYLES_DIR + "\": is a directory"},
        {quoted(fifo), 1, "cannot read style \"" + fifo + "\": is a FIFO"},
        {"/dev/zero", 1, "cannot read style \"/dev/zero\": is a character device"},
        {quoted(loop), 1, "cannot read style \"" + loop + "\": Too many levels of symbolic links"},
        {quoted(large), 1, "cannot read style \"" + large + "\": too large for a style file"},
        {quoted(PREVIEW_TOOL), 1,
         std::string("cannot read style \"") + PREVIEW_TOOL + "\": not a text file"},
        // A real file whose read fails: the start of the reading process's own memory is unmapped.
        {"/proc/self/mem", 1, "cannot read style \"/proc/self/mem\": Input/output error"},
        {"--svg /nonexistent/dir/out.svg " + slate, 1,
         "cannot write SVG \"/nonexistent/dir/out.svg\": No such file or directory"},
        // Only into a regular file or a new one: a FIFO would wait for a reader for ever.
        {"--svg " + quoted(testing::TempDir()) + " " + slate, 1,
         "cannot write SVG \"" + testing::TempDir() + "\": is a directory"},
        {"--svg /dev/full " + slate, 1, "cannot write SVG \"/dev/full\": is a character device"},
        {"--svg " + quoted(fifo) + " " + slate, 1, "cannot write SVG \"" + fifo + "\": is a FIFO"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.err.rfind("tintlet-preview: " + c.message, 0), 0u)
            << c.arguments << ": " << run.err;
        EXPECT_EQ(count(run.err, "\n"), 1) << c.arguments << ": " << run.err;
        EXPECT_EQ(run.out, "") << "nothing shown before the run can be done: " << c.arguments;
    }
    unlink(fifo.c_str());
    unlink(loop.c_str());
    unlink(large.c_str());
}

TEST(PreviewTool, ReadsStylesAsEditorsWriteThem) {
    // Notepad's byte-order mark, then CRLF, lone CR and LF line endings.
    const std::string path =
        tests::writeStyle("as-written.style", "\xEF\xBB\xBFmenu.hilite: flat\r\n"
                                              "menu.hilite.color: #123456\r"
                                              "menu.hilite.textColor: #fedcba\n"
                                              "window.label.focus: Flat Solid\r\n"
                                              "window.label.focus.color: #204060\r\n");
    const ToolRun run = runTool(quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* line : {"COLOR_ACTIVECAPTION              2  #204060  ",
                             "COLOR_HIGHLIGHT                 13  #123456  ",
                             "COLOR_HIGHLIGHTTEXT             14  #fedcba  "}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    }
}

TEST(PreviewTool, WarnsOfValuesThatAreNoColourAndKeysThatAreAlmostThePluginsOwn) {
    const std::string path = tests::writeStyle(
        "mistakes.style", "menu.hilite: flat\n"
                          "menu.hilite.colour: #123456\n"
                          "menu.hilite.color: #123456 ! the old one\n"
                          "menu.hilite.textColor: #gggggg\n"
                          "menu.title: solid\n"
                          "menu.title.color: red\n"
                          "menu.title.textColor: #fff\n"
                          "window.label.focus: ParentRelative\n"
                          // Not read in this pass, yet read where the label is no longer
                          // parent-relative: as broken.
                          "window.label.focus.color: #12345\n"
                          "window.title.focus.color: #12345\n"
                          "menu.frame.color: 0xffffe1\n"
                          "menu.highlight.textColour: #000\n" // the same words
                          "menu.title.textColor: #eee\n"      // set again: this line wins
                          "toolbar.color: blue\n");           // the plug-in's no business
    const ToolRun run = runTool(quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected[] = {
        ":2: unknown key \"menu.hilite.colour:\", did you mean \"menu.hilite.color:\"?",
        ":3: menu.hilite.color: \"#123456 ! the old one\" is not a colour; the default #0a246a "
        "(COLOR_HIGHLIGHT) applies",
        ":4: menu.hilite.textColor: \"#gggggg\" is not a colour; the default #ffffff "
        "(COLOR_HIGHLIGHTTEXT) applies",
        ":6: menu.title.color: \"red\" is not a colour; the defaults #0a246a (COLOR_HIGHLIGHT) and "
        "#ffffe1 (COLOR_INFOBK) apply",
        ":7: menu.title.textColor: is set on lines 7 and 13; line 13 wins",
        ":9: window.label.focus.color: \"#12345\" is not a colour; the default #0a246a "
        "(COLOR_ACTIVECAPTION) applies",
        ":9: window.label.focus.color, line 9, is not read: the focused label is parent-relative, "
        "so the title's colours are used",
        ":10: window.title.focus.color: \"#12345\" is not a colour; the default #0a246a "
        "(COLOR_ACTIVECAPTION) applies",
        ":11: menu.frame.color: \"0xffffe1\" is not a colour; the defaults #0a246a "
        "(COLOR_HIGHLIGHT) and #ffffe1 (COLOR_INFOBK) apply",
        ":11: menu.frame.color, line 11, is not read: the highlight is menu.hilite's, and "
        "menu.title is not parent-relative, so the tooltip takes its own colours",
        ":12: unknown key \"menu.highlight.textColour:\", did you mean \"menu.hilite.textColor:\"?",
    };
    std::string all;
    for (const std::string& line : expected) {
        all += path + line + "\n";
    }
    EXPECT_EQ(run.err, all);
    // The report says which colours came from a default, and of which key.
    for (const char* line :
         {"COLOR_ACTIVECAPTION              2  #0a246a  default of window.title.focus.color "
          "(not a colour, line 10)\n",
          "COLOR_GRADIENTACTIVECAPTION     27  #a6caf0  default of window.title.focus.colorTo\n",
          "COLOR_HIGHLIGHT                 13  #0a246a  default of menu.hilite.color (not a "
          "colour, line 3)\n",
          "COLOR_INFOBK                    24  #ffffe1  default of menu.title.color (not a colour, "
          "line 6)\n",
          "COLOR_INFOTEXT                  23  #eeeeee  menu.title.textColor, line 13\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    }
    // Such a style does not pass as well written.
    EXPECT_EQ(runTool("--strict " + quoted(path)).status, 3);
}

// Each colour names the key and line it came from, or the default, as the plug-in's own note of
// its lookups has it; a highlight that fell back says why it passed each element over.
TEST(PreviewTool, SaysWhereEachColourCameFrom) {
    const struct {
        const char* name;
        std::string path;
        std::vector<const char*> lines;
    } cases[] = {
        {"fern-relative.style",
         std::string(STYLES_DIR) + "/fern-relative.style",
         {"COLOR_HIGHLIGHT                 13  #3c6e47  menu.title.color, line 24\n"
          "      passed over: menu.hilite.color is the window colour, and its second colour too\n"
          "  COLOR_HIGHLIGHTTEXT             14  #f6fbf2  menu.title.textColor, line 25\n",
          "COLOR_INFOBK                    24  #3c6e47  menu.title.color, line 24\n"}},
        // The highlight's own values, equal to the tooltip's later defaults, are the style's.
        {"hilite-like-tooltip.style",
         tests::writeStyle("hilite-like-tooltip.style", "menu.hilite: flat solid\n"
                                                        "menu.hilite.color: #ffffe1\n"
                                                        "menu.hilite.textColor: #000000\n"),
         {"COLOR_HIGHLIGHT                 13  #ffffe1  menu.hilite.color, line 2\n",
          "COLOR_HIGHLIGHTTEXT             14  #000000  menu.hilite.textColor, line 3\n",
          "COLOR_INFOBK                    24  #ffffe1  default of menu.frame.color\n",
          "COLOR_INFOTEXT                  23  #000000  default of menu.frame.textColor\n"}},
        // Every menu colour is the window's: the fixed pair, although the frame's text is white.
        {"white-menu.style",
         tests::writeStyle("white-menu.style", "menu.title.color: #ffffff\n"
                                               "menu.frame.color: #ffffff\n"
                                               "menu.frame.textColor: #ffffff\n"),
         {"COLOR_HIGHLIGHT                 13  #0a246a  the plug-in's own, as no menu colour "
          "would show\n"
          "      passed over: menu.title.color is the window colour, and it has no second "
          "colour; menu.frame.color is the window colour, and it has no second colour; so the "
          "plug-in's own highlight applies\n",
          "COLOR_HIGHLIGHTTEXT             14  #ffffff  the plug-in's own",
          "COLOR_INFOBK                    24  #ffffff  menu.frame.color, line 2\n",
          "COLOR_INFOTEXT                  23  #ffffff  menu.frame.textColor, line 3\n"}},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(quoted(c.path));
        ASSERT_EQ(run.status, 0) << run.err;
        for (const char* line : c.lines) {
            EXPECT_NE(run.out.find(line), std::string::npos) << c.name << ": " << line << run.out;
        }
    }
}

TEST(PreviewTool, WarningsStopAtTwentyAFileThenACount) {
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += "no key here\n";
    }
    const std::string first = tests::writeStyle("noisy-1.style", text);
    const std::string second =
        tests::writeStyle("noisy-2.style", text + "menu.hilite.colr: #fff\n");
    std::string many = "menu.hilite.colr: #fff\n";
    for (int i = 0; i < 1000; ++i) {
        many += "no key here\n";
    }
    const std::string third = tests::writeStyle("noisy-3.style", many);
    const ToolRun run = runTool(quoted(first) + " " + quoted(second) + " " + quoted(third));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(run.err, first + ":"), 21) << run.err;
    EXPECT_EQ(count(run.err, second + ":"), 21) << run.err;
    EXPECT_NE(run.err.find(first + ":20: not a"), std::string::npos);
    EXPECT_EQ(run.err.find(first + ":21: not a"), std::string::npos);
    EXPECT_NE(run.err.find(first + ": 10 more warnings not shown\n"), std::string::npos);
    EXPECT_NE(run.err.find(second + ": 11 more warnings not shown\n"), std::string::npos);
    // Every bad line is counted, beyond those a style file keeps.
    EXPECT_NE(run.err.find(third + ":1: unknown key"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(third + ":20: not a"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(third + ": 981 more warnings not shown\n"), std::string::npos);
}

TEST(PreviewTool, CaptionTextCountsOnTheWorseEndOfItsGradient) {
    const ToolRun run = runTool(style("harbour-dusk.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    // #f4f1e8 reads well on #16324f (11.60:1) but not on the gradient's light end (3.889:1).
    EXPECT_NE(run.out.find("caption text on caption (focused)      3.88:1  warning: below 4.5:1  "
                           "(at the gradient's end, #4f7ca8)\n"),
              std::string::npos)
        << run.out;
}

TEST(PreviewTool, AHighlightLikeTheWindowIsWarnedAgainstTheWindowColourAssumed) {
    const std::string path =
        tests::writeStyle("pale-highlight.style", "menu.hilite: flat\n"
                                                  "menu.hilite.color: #fefefe\n"
                                                  "menu.hilite.textColor: #000000\n");
    const struct {
        std::string options;
        const char* window;
        bool warned;
    } cases[] = {
        {"", "#ffffff", true},
        {"--window '#000000' ", "#000000", false},
        {"--window=#f0f0f0 ", "#f0f0f0", true},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.options + quoted(path));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(
            run.out.find(std::string("  window colour ") + c.window +
                         (c.options.empty() ? ", assumed (--window sets it)\n" : ", as given\n")),
            std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("highlight on window") != std::string::npos &&
                      run.out.find("warning: below 1.5:1") != std::string::npos,
                  c.warned)
            << c.options << run.out;
    }
    const ToolRun bad = runTool("--window white " + quoted(path));
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err,
              "tintlet-preview: option --window needs a colour #rrggbb or #rgb, not 'white'\n");
}

// The host gives the plug-in the absolute path, so the limit holds for that path however short
// the one typed: from a deep folder a name of a few letters is as much too long.
TEST(PreviewTool, AStylePathTooLongForThePluginShowsTheHostsDefaultsAndSaysWhy) {
    const std::string folder = std::string(200, 'd');
    mkdir((testing::TempDir() + folder).c_str(), 0700);
    const std::string path =
        tests::writeStyle(folder + "/" + std::string(100, 's') + ".style",
                          "window.label.focus: solid\nwindow.label.focus.color: #204060\n");
    const std::string deepFolder = testing::TempDir() + folder + "/" + std::string(60, 'e');
    mkdir(deepFolder.c_str(), 0700);
    tests::writeStyle(folder + "/" + std::string(60, 'e') + "/x.style",
                      "window.label.focus: solid\nwindow.label.focus.color: #204060\n");
    ASSERT_GE(path.size(), 260u);
    const struct {
        const char* how;
        std::string typed;
        std::string shellCommand;
        std::size_t bytes;
    } cases[] = {
        {"typed whole", path, "", path.size()},
        {"relative, in a deep folder", "x.style",
         "cd '" + deepFolder + "' && '" + PREVIEW_TOOL + "' x.style",
         deepFolder.size() + std::string("/x.style").size()},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(quoted(c.typed), c.shellCommand);
        ASSERT_EQ(run.status, 0) << c.how << ": " << run.err;
        EXPECT_NE(run.out.find("COLOR_ACTIVECAPTION              2  #0a246a  default of "
                               "window.title.focus.color\n"),
                  std::string::npos)
            << c.how << ": " << run.out;
        const std::string tooLong = "a path of " + std::to_string(c.bytes) +
                                    " bytes is too long for the plug-in (at most 259): it asks "
                                    "with an empty path, and the host's defaults apply";
        EXPECT_EQ(run.err, c.typed + ": " + tooLong + "\n") << c.how;
        // The defaults are no mending of the style's own lines.
        const std::string copy = testing::TempDir() + "mended-long.style";
        const ToolRun fix =
            runTool("--fix " + quoted(copy) + " " + quoted(c.typed),
                    c.shellCommand.empty() ? ""
                                           : "cd '" + deepFolder + "' && '" + PREVIEW_TOOL +
                                                 "' --fix " + quoted(copy) + " x.style");
        EXPECT_EQ(fix.status, 1) << c.how;
        EXPECT_NE(fix.err.find("\ntintlet-preview: no mended copy: " + tooLong + "\n"),
                  std::string::npos)
            << fix.err;
        EXPECT_NE(access(copy.c_str(), F_OK), 0) << c.how;
    }
}

TEST(PreviewTool, TraceHasAHeadingForEachPassWithTheWindowColourAndTheTenColourCall) {
    const ToolRun run =
        runTool("--trace " + style("slate-solid.style") + " " + style("harbour-dusk.style"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t start =
        run.out.find(std::string("host calls of the start with ") + STYLES_DIR + "/slate-solid");
    const std::size_t change = run.out.find(std::string("host calls of the change 1 with ") +
                                            STYLES_DIR + "/harbour-dusk");
    ASSERT_NE(start, std::string::npos) << run.out;
    ASSERT_NE(change, std::string::npos) << run.out;
    EXPECT_EQ(count(run.out, "trace: GetSysColor(COLOR_WINDOW) -> #ffffff\n"), 2) << run.out;
    EXPECT_EQ(count(run.out, "trace: SetSysColors(10 colours)\n"), 2) << run.out;
    // The second pass's call hands over harbour-dusk's highlight.
    EXPECT_NE(run.out.find("trace:   COLOR_HIGHLIGHT 13 #e0a030\n", change), std::string::npos);
    EXPECT_LT(run.out.find("trace: GetSysColor", start), run.out.find("start: "));
}

TEST(PreviewTool, FileNamesAreEscapedOnTheTerminalAndInThePicture) {
    const std::string name = "bad\x1b]0;title\x07name\xff\n\xe2\x80\xae.style";
    const std::string path = tests::writeStyle(name, "menu.hilite.colour: #fff\n");
    const std::string shown =
        testing::TempDir() + "bad\\x1b]0;title\\x07name\\xff\\x0a\\xe2\\x80\\xae.style";
    const std::string svg = testing::TempDir() + "escaped.svg";
    const ToolRun run = runTool("--trace --svg " + quoted(svg) + " " + quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\nstart: " + shown + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("trace: stylePath(null) -> \"" + shown), std::string::npos) << run.out;
    for (const char raw : {'\x1b', '\x07', '\xff'}) {
        EXPECT_EQ(run.out.find(raw), std::string::npos) << "raw byte " << int(raw) << run.out;
    }
    EXPECT_EQ(run.err.rfind(shown + ":1: unknown key", 0), 0u) << run.err;
    EXPECT_EQ(count(run.err, "\n"), 1) << run.err;
    EXPECT_EQ(std::system(("xmllint --noout " + quoted(svg)).c_str()), 0) << readFile(svg);
    EXPECT_NE(
        readFile(svg).find(">bad\\x1b]0;title\\x07name\\xff\\x0a\\xe2\\x80\\xae.style</text>"),
        std::string::npos);
    const ToolRun missing = runTool(quoted(testing::TempDir() + "gone\x1b[2J.style"));
    EXPECT_NE(missing.err.find("gone\\x1b[2J.style\""), std::string::npos) << missing.err;
}

TEST(PreviewTool, StrictExitsWithThreeWhenAnyWarningWasPrinted) {
    const std::string noted =
        tests::writeStyle("one-bad-line.style", "menu.hilite: flat\nnot a line\n");
    const struct {
        std::string arguments;
        int status;
    } cases[] = {
        {"--strict " + style("slate-solid.style"), 0},
        {"--strict " + style("fern-relative.style"), 3}, // contrast
        {"--strict " + quoted(noted), 3},                // input
        {"--strict " + quoted(noted) + " " + style("slate-solid.style"), 3},
        {style("fern-relative.style"), 0},
        {quoted(noted), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runTool(c.arguments).status, c.status) << c.arguments;
    }
}

TEST(PreviewTool, BadStyleLinesAreReportedWithTheirNumbers) {
    const std::string path = tests::writeStyle(
        "bad-lines.style",
        "! a comment\nmenu.hilite: solid\nthis is no key\nmenu.hilite.color: #c00\n");
    const ToolRun run = runTool("'" + path + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, path + ":3: not a \"key: value\" line, skipped\n");
    EXPECT_NE(run.out.find("COLOR_HIGHLIGHT                 13  #cc0000"), std::string::npos)
        << run.out;
}

TEST(PreviewTool, HelpGoesToStandardOutput) {
    const ToolRun run = runTool("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: tintlet-preview [options] [STYLE...]\n", 0), 0u);
    EXPECT_NE(run.out.find("--watch"), std::string::npos);
    const ToolRun version = runTool("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tintlet-preview " TINTLET_VERSION "\n");
}

// Each contrast warning comes with the line to paste; --fix puts those lines into a copy and
// shows that copy's report, which for every bundled style has no contrast warning left.
TEST(PreviewTool, FixMendsEachBundledStyleOrSaysWhyItCannot) {
    for (const BundledStyle& bundled : bundledStyles) {
        const std::string copy = testing::TempDir() + "mended-" + bundled.file;
        unlink(copy.c_str());
        const ToolRun run = runTool("--fix " + quoted(copy) + " " + style(bundled.file));
        EXPECT_EQ(run.status, 0) << bundled.file << ": " << run.out << run.err;
        const std::size_t mended = run.out.find("change 1: " + copy);
        ASSERT_NE(mended, std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("warning: below", mended), std::string::npos) << run.out;
        // Only the values changed: the same lines, comments and order.
        const std::string before = readFile(std::string(STYLES_DIR) + "/" + bundled.file);
        const std::string after = readFile(copy);
        EXPECT_EQ(count(after, "\n"), count(before, "\n")) << bundled.file;
        EXPECT_EQ(count(after, "!"), count(before, "!")) << bundled.file;
    }
    const std::string fern = readFile(testing::TempDir() + "mended-fern-relative.style");
    EXPECT_NE(fern.find("window.label.unfocus.textColor: #"), std::string::npos);
    EXPECT_EQ(fern.find("window.label.unfocus.textColor: #eef3ea"), std::string::npos) << fern;

    // Near black to near white behind the text: no text colour reads on both ends, so the text
    // and an end change together.
    const std::string path =
        tests::writeStyle("black-to-white.style", "window.title.focus: flat gradient horizontal\n"
                                                  "window.title.focus.color: #202020\n"
                                                  "window.title.focus.colorTo: #f0f0f0\n"
                                                  "window.label.focus.textColor: #808080\n");
    const std::string copy = testing::TempDir() + "mended-black-to-white.style";
    unlink(copy.c_str());
    ToolRun run = runTool("--fix " + quoted(copy) + " " + quoted(path));
    const std::string replace = "--force --fix " + quoted(copy) + " ";
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(count(run.out, "      suggestion: window.label.focus.textColor: #"), 1) << run.out;
    EXPECT_EQ(count(run.out, "      suggestion: window.title.focus.colorTo: #"), 1) << run.out;
    // One key gives both the highlight and the tooltip, under one text key: its suggestion reads
    // with both, and mends both at once.
    const std::string shared =
        tests::writeStyle("shared-text.style", "menu.title: flat\n"
                                               "menu.title.color: #5a7a9a\n"
                                               "menu.title.textColor: #6b8bab\n");
    run = runTool(replace + quoted(shared));
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(count(run.out, "      suggestion: menu.title.color: #"), 2) << run.out;
    EXPECT_EQ(count(readFile(copy), "menu.title.color:"), 1) << readFile(copy);
    // The plug-in's own highlight on a window of its very colour: no key of the style gave it,
    // so nothing in the copy can mend it, and the tool says so.
    run = runTool("--window '#0a246a' " + replace + quoted(path));
    EXPECT_EQ(run.status, 3) << run.out << run.err;
    EXPECT_NE(run.err.find(copy + ": highlight on window is still hard to read: no suggestion: "
                                  "this is the plug-in's own colour"),
              std::string::npos)
        << run.err;

    // Never over the style itself, by any name; one style at a time.
    EXPECT_EQ(runTool("--fix " + quoted(path) + " " + quoted(path)).status, 2);
    EXPECT_EQ(
        runTool("--fix x.style " + style("slate-solid.style") + " " + style("fern-relative.style"))
            .status,
        2);
}

// A mended copy goes where no file is: arguments given the wrong way round lose nothing, and
// only --force lets it replace a file.
TEST(PreviewTool, FixReplacesAFileOnlyWhenForced) {
    const std::string text = "menu.hilite: flat\nmenu.hilite.color: #2a4a3a\n";
    const std::string mine = tests::writeStyle("mine.style", text);
    const std::string other =
        tests::writeStyle("other.style", "menu.hilite: flat\nmenu.hilite.color: #305040\n"
                                         "menu.hilite.textColor: #3a5a4a\n");
    const std::string notes = tests::writeStyle("notes.txt", "not a style at all\n");
    for (const std::string& kept : {mine, notes}) {
        const ToolRun run = runTool("--fix " + quoted(kept) + " " + quoted(other));
        EXPECT_EQ(run.status, 2) << kept;
        EXPECT_EQ(run.err, "tintlet-preview: cannot write the mended style \"" + kept +
                               "\": exists already; --force replaces it\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(readFile(mine), text);
    const ToolRun forced = runTool("--force --fix " + quoted(mine) + " " + quoted(other));
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(readFile(mine).find("menu.hilite.textColor: #"), std::string::npos);
    EXPECT_EQ(readFile(mine).find("#3a5a4a"), std::string::npos) << readFile(mine);
}

// A key the plug-in reads in some style, set where this style's textures or the window colour
// keep it from being read, is named with the reason; --strict does not count it, as the host may
// still draw with it.
TEST(PreviewTool, NamesEachLineThePluginDoesNotReadAndWhy) {
    const struct {
        std::string options;
        std::string text;
        std::string warning; // of the last line; "" for none
    } cases[] = {
        {"", "window.label.focus: flat\nwindow.title.focus.color: #102030\n",
         "window.title.focus.color, line 2, is not read: the focused label is not parent-relative, "
         "so its own colours are used"},
        {"", "window.label.unfocus: parentrelative\nwindow.label.unfocus.color: #203040\n",
         "window.label.unfocus.color, line 2, is not read: the unfocused label is "
         "parent-relative, so the title's colours are used"},
        {"", "window.label.focus: flat solid\nwindow.label.focus.colorTo: #304050\n",
         "window.label.focus.colorTo, line 2, is not read: the focused label is solid, so it has "
         "one colour"},
        {"", "menu.hilite.textColor: #405060\n",
         "menu.hilite.textColor, line 1, is not read: menu.hilite is parent-relative (its "
         "default), so the highlight comes from menu.title or menu.frame"},
        {"", "menu.hilite: flat\nmenu.hilite.color: #506070\nmenu.hilite.colorTo: #607080\n",
         "menu.hilite.colorTo, line 3, is not read: menu.hilite.color is not the window colour, "
         "so its second colour is not needed"},
        {"",
         "menu.hilite: flat\nmenu.hilite.color: #506070\nmenu.title: parentrelative\n"
         "menu.title.textColor: #708090\n",
         "menu.title.textColor, line 4, is not read: the highlight is menu.hilite's, and "
         "menu.title is parent-relative, so the tooltip takes menu.frame's colours"},
        // On a window of the highlight's colour the plug-in passes on to menu.title.
        {"--window '#506070' ",
         "menu.hilite: flat\nmenu.hilite.color: #506070\n"
         "menu.title: parentrelative\nmenu.title.textColor: #708090\n",
         ""},
    };
    for (const auto& c : cases) {
        const std::string path = tests::writeStyle("unread.style", c.text);
        const ToolRun run = runTool(c.options + quoted(path));
        const int last = static_cast<int>(count(c.text, "\n"));
        const std::string line = path + ":" + std::to_string(last) + ": ";
        EXPECT_EQ(run.status, 0) << c.text << run.err;
        EXPECT_EQ(run.err.find(line + c.warning + (c.warning.empty() ? "" : "\n")) !=
                      std::string::npos,
                  !c.warning.empty())
            << c.text << run.err;
    }
    const std::string quiet = tests::writeStyle(
        "unread-only.style", "window.label.focus: flat solid\nwindow.label.focus.color: #000000\n"
                             "window.label.unfocus: flat solid\n"
                             "window.label.unfocus.color: #000000\n"
                             "window.title.focus.color: #102030\n");
    const ToolRun strict = runTool("--strict " + quoted(quiet));
    EXPECT_EQ(strict.status, 0) << strict.out << strict.err;
    EXPECT_EQ(count(strict.err, ", is not read: "), 1) << strict.err;
}

// The keys come from the plug-in's own table, and the README shows the same table.
TEST(PreviewTool, KeysListsWhatThePluginReadsAsTheReadmeDoes) {
    const ToolRun run = runTool("--keys");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* row : {"| `menu.hilite.color:` | colour | `#0a246a` | COLOR_HIGHLIGHT |\n",
                            "| `menu.frame.color:` | colour | `#0a246a` (COLOR_HIGHLIGHT), "
                            "`#ffffe1` (COLOR_INFOBK) | "
                            "COLOR_HIGHLIGHT, COLOR_INFOBK |\n",
                            "| `window.label.unfocus:` | text | `parentrelative` | — |\n"}) {
        EXPECT_NE(run.out.find(row), std::string::npos) << row << run.out;
    }
    EXPECT_EQ(count(run.out, "\n"), 2 + 25) << "a header and each of the 25 keys once";
    EXPECT_NE(readFile(README_FILE).find(run.out), std::string::npos)
        << "README.md's key table differs from:\n"
        << run.out;
}

// Saves the watched style with a new highlight until the tool's output holds marker. The watcher
// takes its first look just after saying it watches: a save before that look is no change to it.
// Each save is whole (written aside, then renamed): a file seen half written would be a change of
// its own, and --watch-limit would end the run on it.
bool saveUntilSeen(tooltest::Tool& tool, const std::string& path, const std::string& marker) {
    using namespace std::chrono_literals;
    for (int save = 0; save < 40; ++save) {
        std::ofstream(path + ".saving")
            << "menu.hilite: flat\nmenu.hilite.color: #445566\n! save " << save << "\n";
        std::rename((path + ".saving").c_str(), path.c_str());
        if (tooltest::readUntil(tool, marker, 500ms)) {
            return true;
        }
    }
    return false;
}

TEST(PreviewTool, WatchReappliesWhenTheStyleFileChanges) {
    using namespace std::chrono_literals;
    const std::string path =
        tests::writeStyle("watched-tool.style", "menu.hilite: flat\nmenu.hilite.color: #112233\n");
    tooltest::Tool tool = tooltest::startTool({"--watch-limit", "1", path});
    ASSERT_TRUE(tooltest::readUntil(tool, "(Ctrl+C stops)\n", 20s)) << tool.text;
    const bool changed = saveUntilSeen(tool, path, "COLOR_HIGHLIGHT                 13  #445566");
    const int status = tooltest::finish(tool, 20s);
    ASSERT_TRUE(changed) << tool.text;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << tool.text;
    const std::size_t change = tool.text.find("change 1: " + path);
    ASSERT_NE(change, std::string::npos) << tool.text;
    EXPECT_LT(tool.text.find("#112233"), change);
}

} // namespace

namespace {

using namespace std::chrono_literals;

TEST(PreviewPicture, NeverReplacesAStyleOrAnyFileButAnEarlierPicture) {
    const std::string folder = testing::TempDir() + "own-styles/";
    mkdir(folder.c_str(), 0700);
    const std::string text = "menu.hilite: flat\nmenu.hilite.color: #123456\n";
    const std::string mine = tests::writeStyle("own-styles/mine.style", text);
    const std::string other = tests::writeStyle("own-styles/other.style", text);
    const std::string linked = folder + "linked.svg", hardLinked = folder + "hard.svg";
    unlink(linked.c_str());
    unlink(hardLinked.c_str());
    ASSERT_EQ(symlink(mine.c_str(), linked.c_str()), 0);
    ASSERT_EQ(link(mine.c_str(), hardLinked.c_str()), 0);
    // Named as the partial picture of shot.svg is, or as the second screenshot of a run.
    const std::string partial = tests::writeStyle("own-styles/.shot.svg.partial", text);
    const std::string second = tests::writeStyle("own-styles/shot-1-mine.png", text);
    const std::string ofTheRun = "\" this run reads\n";
    const std::string noPicture = " picture, and a picture replaces only an earlier one\n";
    const struct {
        std::string arguments;
        std::string style;
        std::string reason;
    } cases[] = {
        // --svg with its file forgotten: the style named is the picture's file.
        {"--svg " + quoted(mine), mine, "holds no SVG" + noPicture},
        {"--screenshot " + quoted(mine), mine, "holds no PNG" + noPicture},
        {"--svg " + quoted(mine) + " " + quoted(mine), mine, "is the style \"" + mine + ofTheRun},
        {"--svg " + quoted(folder + "../own-styles/./mine.style") + " " + quoted(mine), mine,
         "is the style \"" + mine + ofTheRun},
        {"--svg " + quoted(linked) + " " + quoted(other) + " " + quoted(mine), mine,
         "is the style \"" + mine + ofTheRun},
        {"--svg " + quoted(hardLinked) + " " + quoted(mine), mine,
         "is the style \"" + mine + ofTheRun},
        {"--watch --svg " + quoted(mine) + " " + quoted(mine), mine,
         "is the style \"" + mine + ofTheRun},
        {"--svg " + quoted(folder + "shot.svg") + " " + quoted(partial), partial,
         "is the style \"" + partial + ofTheRun},
        {"--screenshot " + quoted(folder + "shot.png") + " " + quoted(mine) + " " + quoted(second),
         second, "is the style \"" + second + ofTheRun},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.err.find("\": " + c.reason), std::string::npos)
            << c.arguments << ": " << run.err;
        EXPECT_EQ(count(run.err, "\n"), 1) << run.err;
        EXPECT_EQ(run.out, "") << c.arguments;
        EXPECT_EQ(readFile(c.style), text) << c.arguments;
    }
}

TEST(PreviewPicture, IsWrittenWholeOrNotAtAll) {
    const std::string svg = testing::TempDir() + "whole.svg";
    const std::string old = "<svg>the last picture</svg>\n";
    tests::writeStyle("whole.svg", old);
    // A disk that fills up half way: no file may grow past 1 KiB, and the picture is larger.
    const std::string command = "ulimit -f 2; trap '' XFSZ; exec '" + std::string(PREVIEW_TOOL) +
                                "' --svg '" + svg + "' " + style("harbour-dusk.style");
    const ToolRun run = runTool("", command);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(withoutUnreadKeys(run.err),
              "tintlet-preview: cannot write SVG \"" + svg + "\": File too large\n");
    EXPECT_EQ(readFile(svg), old);
    EXPECT_NE(access((testing::TempDir() + ".whole.svg.partial").c_str(), F_OK), 0);
}

TEST(PreviewTool, AReportThatCannotBeWrittenIsAFailure) {
    const struct {
        tooltest::BadOutput output;
        const char* reason;
    } cases[] = {
        {tooltest::BadOutput::Full, "No space left on device"},
        {tooltest::BadOutput::Closed, "Bad file descriptor"},
        {tooltest::BadOutput::BrokenPipe, "Broken pipe"},
    };
    for (const auto& c : cases) {
        const std::string slate = std::string(STYLES_DIR) + "/slate-solid.style";
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{slate}, std::vector<std::string>{"--help"},
              std::vector<std::string>{"--watch", slate}}) {
            tooltest::Tool tool = tooltest::startToolWritingTo(c.output, arguments);
            const int status = tooltest::finish(tool, 20s);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
                << c.reason << " " << arguments[0] << ": " << status;
            EXPECT_EQ(withoutUnreadKeys(tool.text),
                      std::string("tintlet-preview: cannot write the report: ") + c.reason + "\n")
                << arguments[0];
        }
    }
}

TEST(PreviewTool, WatchEndsInFailureAfterAPictureItCouldNotWrite) {
    const std::string path = tests::writeStyle("watched-picture.style",
                                               "menu.hilite: flat\nmenu.hilite.color: #112233\n");
    const std::string svg = testing::TempDir() + "watched-picture.svg";
    unlink(svg.c_str());
    rmdir(svg.c_str());
    tooltest::Tool tool = tooltest::startTool({"--watch-limit", "1", "--svg", svg, path});
    ASSERT_TRUE(tooltest::readUntil(tool, "(Ctrl+C stops)\n", 20s)) << tool.text;
    // Where the picture was, a folder now: the next one cannot go there.
    ASSERT_EQ(unlink(svg.c_str()), 0);
    ASSERT_EQ(mkdir(svg.c_str(), 0700), 0);
    const bool reported = saveUntilSeen(tool, path, "is a directory\n");
    const int status = tooltest::finish(tool, 20s);
    rmdir(svg.c_str());
    ASSERT_TRUE(reported) << tool.text;
    EXPECT_NE(tool.text.find("tintlet-preview: cannot write SVG \"" + svg + "\": is a directory\n"),
              std::string::npos)
        << tool.text;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << tool.text;
}

TEST(PreviewTool, NamesInvisibleCharactersInKeysAndStillFindsTheKeyMeant) {
    // Two styles joined with cat: the second one's byte-order mark starts a line of its own.
    const std::string path =
        tests::writeStyle("invisible.style", "menu.hilite: flat\n"
                                             "\xEF\xBB\xBFmenu.hilite.color: #123456\n"
                                             "menu.hilite.\xE2\x80\x8BtextColor: #fedcba\n"
                                             "\xE2\x80\x8Dtoolbar.color: #000000\n");
    const ToolRun run = runTool(quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              path +
                  ":2: unknown key \"\\xef\\xbb\\xbfmenu.hilite.color:\": it holds a byte-order "
                  "mark (U+FEFF); did you mean \"menu.hilite.color:\"?\n" +
                  path +
                  ":3: unknown key \"menu.hilite.\\xe2\\x80\\x8btextColor:\": it holds a "
                  "zero-width space (U+200B); did you mean \"menu.hilite.textColor:\"?\n" +
                  path +
                  ":4: unknown key \"\\xe2\\x80\\x8dtoolbar.color:\": it holds a zero-width "
                  "joiner (U+200D)\n");
}

TEST(PreviewTool, ALongValueIsCutInItsWarningWithItsLength) {
    const std::string value(1000000, 'x');
    const std::string path = tests::writeStyle(
        "long-value.style", "menu.hilite: flat\nmenu.hilite.color: " + value + "\n");
    const ToolRun run = runTool(quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, path + ":2: menu.hilite.color: \"" + std::string(64, 'x') +
                           "...\" (1000000 characters) is not a colour; the default #0a246a "
                           "(COLOR_HIGHLIGHT) applies\n");
}

TEST(PreviewTool, TheHelpSaysWhichColoursTheWindowOptionTakes) {
    const ToolRun help = runTool("--help");
    EXPECT_NE(help.out.find("--window #rrggbb|#rgb\n"), std::string::npos) << help.out;
    for (const char* window : {"'#ffffff'", "'#fff'"}) {
        EXPECT_EQ(
            runTool(std::string("--window ") + window + " " + style("slate-solid.style")).status, 0)
            << window;
    }
    const ToolRun bad = runTool("--window '#ff' " + style("slate-solid.style"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "tintlet-preview: option --window needs a colour #rrggbb or #rgb, not "
                       "'#ff'\n");
}

} // namespace
