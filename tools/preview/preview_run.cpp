#include "tools/preview/preview_run.h"

#include "colors/style_access.h"
#include "colors/system_color_set.h"
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/screenshot.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/style_watch.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/title_bar_svg.h"
#include "win32/win32_standin.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace preview {
namespace {

constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(250);
// Beyond this a file's warnings are counted, not shown: a wrong file must not flood the screen.
constexpr std::size_t MOST_WARNINGS_PER_FILE = 20;

// A style file as read, with the lines it could not use.
struct Style {
    std::string path;
    stylefile::StyleFile file;
    standin::StyleProblems problems;
};

struct Warning {
    int line; // 0: about the file as a whole
    std::string text;
};

struct Run {
    const Options& options;
    const Output& output;
    int warnings = 0;
    int changes = 0;
    std::vector<AppliedColors> applied; // after each step
};

int fail(const Output& output, const std::string& message) {
    output.err << "tintlet-preview: " << printable(message) << "\n";
    return 1;
}

bool readStyle(const std::string& path, Style* style, std::string* error) {
    style->path = path;
    style->problems.clear();
    return stylefile::readStyleFile(path, &style->file, error, &style->problems);
}

// Colour values the plug-in read and could not use, one warning per key with every default
// that then applied.
void addColorValueWarnings(const Style& style, const std::vector<standin::Lookup>& pass,
                           std::vector<Warning>* warnings) {
    std::vector<std::pair<const stylefile::StyleLine*, std::vector<std::string>>> unusable;
    for (const standin::Lookup& lookup : pass) {
        const stylefile::StyleLine* line = style.file.lineOf(lookup.key);
        if (!lookup.color || !lookup.found || lookup.usable || lookup.path != style.path ||
            line == nullptr) {
            continue;
        }
        auto it = std::find_if(unusable.begin(), unusable.end(),
                               [&](const auto& entry) { return entry.first == line; });
        if (it == unusable.end()) {
            unusable.push_back({line, {}});
            it = unusable.end() - 1;
        }
        const std::string used = stylefile::colorText(lookup.result);
        if (std::find(it->second.begin(), it->second.end(), used) == it->second.end()) {
            it->second.push_back(used);
        }
    }
    for (const auto& [line, defaults] : unusable) {
        std::string applies = defaults.size() == 1 ? "the default " : "the defaults ";
        for (std::size_t i = 0; i < defaults.size(); ++i) {
            applies += (i == 0 ? "" : i + 1 == defaults.size() ? " and " : ", ") + defaults[i];
        }
        applies += defaults.size() == 1 ? " applies" : " apply";
        warnings->push_back(
            {line->line, line->key + " \"" + line->value + "\" is not a colour; " + applies});
    }
}

// What in a style's own text will not do what its author meant, in line order.
std::vector<Warning> inputWarnings(const Style& style, const std::vector<standin::Lookup>& pass) {
    std::vector<Warning> warnings;
    for (const standin::Lookup& lookup : pass) {
        if (lookup.path != style.path) {
            // The plug-in's copy of the path is bounded; a path cut short would name another file.
            const bool tooLong = style.path.size() + 1 > STYLE_PATH_BUFFER_SIZE;
            warnings.push_back(
                {0, tooLong ? "a path of " + std::to_string(style.path.size()) +
                                  " bytes is too long for the plug-in (at most " +
                                  std::to_string(STYLE_PATH_BUFFER_SIZE - 1) +
                                  "): it asks with an empty path, and the host's defaults apply"
                            : "the plug-in asked for \"" + lookup.path +
                                  "\", not this style: the colours shown are not this style's"});
            break;
        }
    }
    for (const auto& problem : style.problems) {
        warnings.push_back({problem.line, problem.message});
    }
    for (const stylefile::StyleLine& line : style.file.lines()) {
        if (pluginReadsKey(line.key)) {
            continue;
        }
        if (const char* nearest = nearestPluginKey(line.key)) {
            warnings.push_back(
                {line.line, "unknown key \"" + line.key + "\", did you mean \"" + nearest + "\"?"});
        }
    }
    addColorValueWarnings(style, pass, &warnings);
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.line < b.line; });
    return warnings;
}

void printWarnings(Run& run, const std::string& path, const std::vector<Warning>& warnings) {
    run.warnings += static_cast<int>(warnings.size());
    for (std::size_t i = 0; i < warnings.size() && i < MOST_WARNINGS_PER_FILE; ++i) {
        const Warning& warning = warnings[i];
        run.output.err << printable(path +
                                    (warning.line > 0 ? ":" + std::to_string(warning.line)
                                                      : std::string()) +
                                    ": " + warning.text)
                       << "\n";
    }
    if (warnings.size() > MOST_WARNINGS_PER_FILE) {
        run.output.err << printable(path) << ": " << warnings.size() - MOST_WARNINGS_PER_FILE
                       << " more warnings not shown\n";
    }
}

std::string colorName(int index) {
    for (int i = 0; i < MANAGED_COLOR_COUNT; ++i) {
        if (managedColorIndices[i] == index) {
            return managedColorNames[i];
        }
    }
    return index == COLOR_WINDOW ? "COLOR_WINDOW" : std::to_string(index);
}

// The plug-in's system colour calls, in the trace beside its host calls.
void traceSystemColors(const Output& output, bool on) {
    if (!on) {
        win32_standin::observeSystemColors({});
        return;
    }
    win32_standin::observeSystemColors(
        {[&output](int index, COLORREF color) {
             output.out << "trace: GetSysColor(" << colorName(index) << ") -> "
                        << stylefile::colorText(color) << "\n";
         },
         [&output](const win32_standin::SetSysColorsCall& call) {
             output.out << "trace: SetSysColors(" << call.indices.size() << " colours)\n";
             for (std::size_t i = 0; i < call.indices.size(); ++i) {
                 output.out << "trace:   " << colorName(call.indices[i]) << " " << call.indices[i]
                            << " " << stylefile::colorText(call.values[i]) << "\n";
             }
         }});
}

// Runs the plug-in over styles, one step each: the start when it is not running yet, else a
// change. After each step come the style's warnings and the report of the colours applied, and
// with --trace the host calls of the step before them. False when the plug-in failed to start.
bool runSteps(Run& run, standin::Session& session, const std::vector<Style>& styles) {
    const Output& output = run.output;
    std::string step;
    const auto prepare = [&](std::size_t i) {
        step = session.running() ? "change " + std::to_string(++run.changes) : "start";
        standin::setStyle(styles[i].path, styles[i].file);
        if (run.options.trace) {
            output.out << "host calls of the " << step << " with " << printable(styles[i].path)
                       << ":\n";
        }
        traceSystemColors(output, run.options.trace);
        standin::recordLookups(true);
        return true;
    };
    const auto report = [&](std::size_t i, const standin::Step& done) {
        const std::vector<standin::Lookup> pass = standin::takeLookups();
        standin::recordLookups(false);
        traceSystemColors(output, false);
        if (done.start && done.result != 0) {
            return false;
        }
        output.out << std::flush;
        printWarnings(run, styles[i].path, inputWarnings(styles[i], pass));
        output.err << std::flush;
        const AppliedColors colors = readAppliedColors();
        run.applied.push_back(colors);
        output.out << formatReport(styles[i].path, step, colors, output.swatches,
                                   colorsFromDefaults(pass), run.options.window, &run.warnings)
                   << std::flush;
        return true;
    };
    return session.run(styles.size(), prepare, report);
}

// Writes the picture whole, or says why it could not.
bool writeSvg(const std::string& svgPath, const Output& output) {
    if (svgPath.empty()) {
        return true;
    }
    const std::string svg =
        renderTitleBarSvg(readAppliedColors(),
                          std::filesystem::path(standin::currentStylePath()).filename().string());
    const int file =
        ::open(svgPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
    std::size_t written = 0;
    while (file >= 0 && written < svg.size()) {
        const ssize_t count = ::write(file, svg.data() + written, svg.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            break;
        }
        written += static_cast<std::size_t>(count);
    }
    const int reason = errno;
    const bool closed = file >= 0 && ::close(file) == 0;
    if (file < 0 || written < svg.size() || !closed) {
        fail(output, "cannot write SVG \"" + svgPath +
                         "\": " + std::strerror(written < svg.size() || file < 0 ? reason : errno));
        return false;
    }
    return true;
}

// Runs the plug-in from start to stop.
int runPlugin(Run& run, const std::vector<Style>& styles, const std::atomic<bool>& stop) {
    const Output& output = run.output;
    standin::Session session;
    std::string error;
    if (!session.load(&error)) {
        return fail(output, error);
    }
    if (!runSteps(run, session, styles)) {
        const auto& boxes = win32_standin::messageBoxes();
        return fail(output, "the plug-in failed to start" +
                                (boxes.empty() ? std::string() : ": " + boxes.back().text));
    }
    if (!writeSvg(run.options.svgPath, output)) {
        return 1;
    }
    if (!run.options.screenshotPath.empty()) {
        ScreenshotPlan plan{
            run.options.screenshotPath, {}, run.applied, run.options.window, run.options.trace};
        for (const Style& style : styles) {
            plan.styles.push_back(style.path);
        }
        if (takeScreenshots(plan, output, stop) != 0) {
            return 1;
        }
    }
    if (run.options.watch && !stop) {
        const std::string path = styles.back().path;
        output.out << "watching " << printable(path) << " (Ctrl+C stops)\n" << std::flush;
        watchStyleFile(path, WATCH_INTERVAL, stop, run.options.watchLimit, [&] {
            // A style being saved may be missing for a moment: keep the last one meanwhile.
            Style style;
            if (!readStyle(path, &style, &error)) {
                output.err << "tintlet-preview: " << printable(error)
                           << "; keeping the last style\n";
                return;
            }
            runSteps(run, session, {style});
            writeSvg(run.options.svgPath, output);
        });
    }
    return run.options.strict && run.warnings > 0 ? 3 : 0;
}

} // namespace

int runPreview(const Options& options, const Output& output, const std::atomic<bool>& stop) {
    if (!options.screenshotPath.empty() && !screenshotNeeds().empty()) {
        return fail(output, screenshotNeeds());
    }
    // Every style is read before the plug-in starts, so a typo stops nothing half way.
    std::vector<Style> styles(options.styles.size());
    for (std::size_t i = 0; i < styles.size(); ++i) {
        std::string error;
        if (!readStyle(options.styles[i], &styles[i], &error)) {
            return fail(output, error);
        }
    }
    win32_standin::setSystemColor(COLOR_WINDOW, options.window);
    if (options.trace) {
        standin::setTrace([&output](const std::string& line) {
            output.out << "trace: " << printable(line) << "\n";
        });
    }
    Run run{options, output, 0, 0, {}};
    const int status = runPlugin(run, styles, stop);
    standin::setTrace(nullptr);
    traceSystemColors(output, false);
    return status;
}

} // namespace preview
