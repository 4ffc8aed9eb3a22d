// The built tintlet-preview, run as a user would.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

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

ToolRun runTool(const std::string& arguments) {
    // Of its own: CTest runs the tests of this file side by side.
    std::string errPath = testing::TempDir() + "preview-stderr-XXXXXX";
    const int errFile = mkstemp(errPath.data());
    if (errFile < 0) {
        ADD_FAILURE() << "cannot create " << errPath;
        return {};
    }
    close(errFile);
    const std::string command =
        std::string("'") + PREVIEW_TOOL + "' " + arguments + " 2>'" + errPath + "'";
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
        EXPECT_EQ(run.err, "") << bundled.file;
        for (std::size_t i = 0; i < 10; ++i) {
            const std::string line = std::string("  ") + names[i] + "  " + bundled.colors[i] + "\n";
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

TEST(PreviewTool, WithoutAStyleUsesTheBundledOne) {
    const ToolRun run = runTool("");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(std::string("start: ") + STYLES_DIR + "/harbour-dusk.style\n", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("COLOR_ACTIVECAPTION              2  #16324f"), std::string::npos);
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
    EXPECT_NE(run.out.find("\", \"menu.hilite.color:\", \"#0a246a\") -> #ffffff\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\", \"menu.hilite.colorTo:\", \"doesnotexist\") -> \"#FFF\"\n"),
              std::string::npos);
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

TEST(PreviewTool, ErrorsAreOneLineAndANonZeroExit) {
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {"--bogus", 2, "tintlet-preview: unknown option '--bogus'"},
        {"--svg", 2, "tintlet-preview: option --svg needs an argument"},
        {"/nonexistent/missing.style", 1,
         "tintlet-preview: cannot read style \"/nonexistent/missing.style\""},
        {style("harbour-dusk.style") + " /nonexistent/later.style", 1,
         "tintlet-preview: cannot read style \"/nonexistent/later.style\""},
        {std::string("'") + STYLES_DIR + "'", 1, "tintlet-preview: cannot read style"},
        {"--svg /nonexistent/dir/out.svg " + style("slate-solid.style"), 1,
         "tintlet-preview: cannot write SVG \"/nonexistent/dir/out.svg\""},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << c.arguments << ": " << run.err;
        EXPECT_EQ(count(run.err, "\n"), 1) << c.arguments << ": " << run.err;
    }
}

TEST(PreviewTool, BadStyleLinesAreReportedWithTheirNumbers) {
    const std::string path = testing::TempDir() + "bad-lines.style";
    std::ofstream(path)
        << "! a comment\nmenu.hilite: solid\nthis is no key\nmenu.hilite.color: #c00\n";
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
}

TEST(PreviewTool, WatchReappliesWhenTheStyleFileChanges) {
    const std::string path = testing::TempDir() + "watched-tool.style";
    std::ofstream(path) << "menu.hilite: flat\nmenu.hilite.color: #112233\n";
    std::thread editor([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        std::ofstream(path) << "menu.hilite: flat\nmenu.hilite.color: #445566\n! saved again\n";
    });
    const ToolRun run = runTool("--watch-limit 1 '" + path + "'");
    editor.join();
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t change = run.out.find("change 1: " + path);
    ASSERT_NE(change, std::string::npos) << run.out;
    EXPECT_LT(run.out.find("#112233"), change);
    EXPECT_NE(run.out.find("COLOR_HIGHLIGHT                 13  #445566", change),
              std::string::npos)
        << run.out;
}

} // namespace
