#include "tools/preview/preview_run.h"

#include "colors/style_access.h"
#include "colors/system_color_set.h"
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/picture_file.h"
#include "tools/preview/screenshot.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/style_watch.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/title_bar_svg.h"
#include "win32/win32_standin.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

namespace preview {
namespace {

constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(250);
// Beyond this a file's warnings are counted, not shown: a wrong file must not flood the screen.
constexpr std::size_t MOST_WARNINGS_PER_FILE = 20;
static_assert(MOST_WARNINGS_PER_FILE <= stylefile::MOST_PROBLEMS_KEPT,
              "every bad line that may be shown is kept");

struct Warning {
    int line; // 0: about the file as a whole
    std::string text;
};

// A file's warnings in line order: the first MOST_WARNINGS_PER_FILE kept, the rest only counted,
// so a file of a million bad lines costs no more to report than one of twenty.
class Warnings {
  public:
    // Counts a warning about line; text() makes its words, only when it is among those shown.
    template <typename Text> void add(int line, const Text& text) {
        ++count_;
        if (kept_.size() == MOST_WARNINGS_PER_FILE && line >= kept_.back().line) {
            return;
        }
        // After those of the same line, which came first.
        const auto at = std::upper_bound(kept_.begin(), kept_.end(), line,
                                         [](int l, const Warning& w) { return l < w.line; });
        kept_.insert(at, {line, text()});
        if (kept_.size() > MOST_WARNINGS_PER_FILE) {
            kept_.pop_back();
        }
    }
    const std::vector<Warning>& shown() const { return kept_; }
    std::size_t count() const { return count_; }
    // Counts warnings that lie beyond every one shown.
    void addUnshown(std::size_t count) { count_ += count; }

  private:
    std::vector<Warning> kept_;
    std::size_t count_ = 0;
};

struct Run {
    const Options& options;
    const Output& output;
    std::vector<std::string> styles; // every style the run reads
    int warnings = 0;
    int changes = 0;
    bool pictureFailed = false;         // a picture could not be written while watching
    std::vector<AppliedColors> applied; // after each step
};

// Colour values the plug-in read and could not use, one warning per key with every default
// that then applied.
void addColorValueWarnings(const std::string& path, const stylefile::StyleFile& style,
                           const std::vector<standin::Lookup>& pass, Warnings* warnings) {
    std::vector<std::pair<stylefile::StyleLine, std::vector<std::string>>> unusable;
    for (const standin::Lookup& lookup : pass) {
        if (!lookup.color || !lookup.found || lookup.usable || lookup.path != path) {
            continue;
        }
        const std::optional<stylefile::StyleLine> line = style.lineOf(lookup.key);
        if (!line) {
            continue;
        }
        auto it = std::find_if(unusable.begin(), unusable.end(),
                               [&](const auto& entry) { return entry.first.line == line->line; });
        if (it == unusable.end()) {
            unusable.push_back({*line, {}});
            it = unusable.end() - 1;
        }
        const std::string used = stylefile::colorText(lookup.result);
        if (std::find(it->second.begin(), it->second.end(), used) == it->second.end()) {
            it->second.push_back(used);
        }
    }
    std::stable_sort(unusable.begin(), unusable.end(),
                     [](const auto& a, const auto& b) { return a.first.line < b.first.line; });
    for (const auto& [line, defaults] : unusable) {
        warnings->add(line.line, [&, &line = line, &defaults = defaults] {
            std::string applies = defaults.size() == 1 ? "the default " : "the defaults ";
            for (std::size_t i = 0; i < defaults.size(); ++i) {
                applies += (i == 0 ? "" : i + 1 == defaults.size() ? " and " : ", ") + defaults[i];
            }
            applies += defaults.size() == 1 ? " applies" : " apply";
            return std::string(line.key) + " " + quotedText(line.value) + " is not a colour; " +
                   applies;
        });
    }
}

// Keys that will not do what their author meant: one or two edits from a key the plug-in reads,
// or holding a character that cannot be seen.
void addKeyWarnings(const stylefile::StyleFile& style, Warnings* warnings) {
    // A file of one key over and over is checked once.
    std::string_view lastKey;
    KeyMatch match;
    const InvisibleCharacter* invisible = nullptr;
    bool first = true;
    for (const stylefile::StyleLine line : style.lines()) {
        if (first || line.key != lastKey) {
            first = false;
            lastKey = line.key;
            match = matchPluginKey(line.key);
            invisible = match.read ? nullptr : invisibleCharacterIn(line.key);
        }
        if (match.read || (match.nearest == nullptr && invisible == nullptr)) {
            continue;
        }
        warnings->add(line.line, [&] {
            std::string text = "unknown key " + quotedText(line.key);
            if (invisible != nullptr) {
                text += ": it holds " + describe(*invisible) + (match.nearest ? ";" : "");
            } else {
                text += ",";
            }
            if (match.nearest != nullptr) {
                text += " did you mean \"" + std::string(match.nearest) + "\"?";
            }
            return text;
        });
    }
}

// What in a style's own text will not do what its author meant, in line order. hostPath is the
// path the host gave the plug-in.
Warnings inputWarnings(const std::string& hostPath, const stylefile::StyleProblems& problems,
                       const std::vector<standin::Lookup>& pass) {
    const stylefile::StyleFile& style = standin::currentStyle();
    Warnings warnings;
    for (const standin::Lookup& lookup : pass) {
        if (lookup.path != hostPath) {
            warnings.add(0, [&] {
                const std::string tooLong = pathTooLong(hostPath);
                return !tooLong.empty() ? tooLong
                                        : "the plug-in asked for \"" + lookup.path +
                                              "\", not this style: the colours shown are not "
                                              "this style's";
            });
            break;
        }
    }
    for (const auto& problem : problems.first) {
        warnings.add(problem.line, [&] { return problem.message; });
    }
    // Those the file did not keep lie beyond the last it kept, so beyond any shown.
    warnings.addUnshown(problems.count - problems.first.size());
    addKeyWarnings(style, &warnings);
    addColorValueWarnings(hostPath, style, pass, &warnings);
    return warnings;
}

void printWarnings(Run& run, const std::string& path, const Warnings& warnings) {
    run.warnings += static_cast<int>(warnings.count());
    for (const Warning& warning : warnings.shown()) {
        run.output.err << printable(path +
                                    (warning.line > 0 ? ":" + std::to_string(warning.line)
                                                      : std::string()) +
                                    ": " + warning.text)
                       << "\n";
    }
    if (warnings.count() > warnings.shown().size()) {
        run.output.err << printable(path) << ": " << warnings.count() - warnings.shown().size()
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

enum class Steps { Done, StyleUnread, NotStarted, ReportUnwritten };

// Runs the plug-in over styles, one step each: the start when it is not running yet, else a
// change. Each style is read just before its step and is the only one in memory. After each step
// come the style's warnings and the report of the colours applied, and with --trace the host
// calls of the step before them. A style that cannot be read ends the steps with error, and the
// last style read stays the host's.
Steps runSteps(Run& run, standin::Session& session, const std::vector<std::string>& paths,
               std::string* error) {
    const Output& output = run.output;
    std::string step;
    stylefile::StyleProblems problems;
    Steps result = Steps::Done;
    const auto prepare = [&](std::size_t i) {
        stylefile::StyleFile style;
        problems = {};
        if (!stylefile::readStyleFile(paths[i], &style, error, &problems)) {
            result = Steps::StyleUnread;
            return false;
        }
        step = session.running() ? "change " + std::to_string(++run.changes) : "start";
        // The host gives the plug-in the style's absolute path, whatever folder it runs in.
        standin::setStyle(hostPathOf(paths[i]), std::move(style));
        if (run.options.trace) {
            output.out << "host calls of the " << step << " with " << printable(paths[i]) << ":\n";
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
            result = Steps::NotStarted;
            return false;
        }
        output.out << std::flush;
        printWarnings(run, paths[i], inputWarnings(hostPathOf(paths[i]), problems, pass));
        output.err << std::flush;
        const AppliedColors colors = readAppliedColors();
        run.applied.push_back(colors);
        output.out << formatReport(paths[i], step, colors, output.swatches,
                                   colorsFromDefaults(pass), run.options.window, &run.warnings)
                   << std::flush;
        if (!output.out) {
            result = Steps::ReportUnwritten;
            return false;
        }
        return true;
    };
    session.run(paths.size(), prepare, report);
    return result;
}

// Writes the picture of the colours now applied, whole, or says why it could not.
bool writeSvg(Run& run) {
    const std::string& svgPath = run.options.svgPath;
    if (svgPath.empty()) {
        return true;
    }
    const std::string svg =
        renderTitleBarSvg(readAppliedColors(),
                          std::filesystem::path(standin::currentStylePath()).filename().string());
    std::string reason;
    const CleanupFirst partialPicture; // a stop signal waits until it is in place or removed
    if (!writePicture(svgPath, PictureKind::Svg, svg, run.styles, &reason)) {
        fail(run.output, "cannot write SVG \"" + svgPath + "\": " + reason);
        return false;
    }
    return true;
}

// Runs the plug-in from start to stop.
int runPlugin(Run& run) {
    const Output& output = run.output;
    standin::Session session;
    std::string error;
    if (!session.load(&error)) {
        return fail(output, error);
    }
    switch (runSteps(run, session, run.styles, &error)) {
    case Steps::Done:
        break;
    case Steps::StyleUnread:
        return fail(output, error);
    case Steps::NotStarted: {
        const auto& boxes = win32_standin::messageBoxes();
        return fail(output, "the plug-in failed to start" +
                                (boxes.empty() ? std::string() : ": " + boxes.back().text));
    }
    case Steps::ReportUnwritten:
        return 1;
    }
    if (!writeSvg(run)) {
        return 1;
    }
    if (!run.options.screenshotPath.empty()) {
        ScreenshotPlan plan{run.options.screenshotPath, run.styles, run.applied, run.options.window,
                            run.options.trace};
        const CleanupFirst wineAndX; // ended and reaped before the tool ends
        if (takeScreenshots(plan, output, stopRequested()) != 0) {
            return 1;
        }
    }
    if (run.options.watch) {
        const std::string path = run.styles.back();
        output.out << "watching " << printable(path) << " (Ctrl+C stops)\n" << std::flush;
        // Outside a picture being put in place a stop signal has ended the tool already: what
        // ends the watch here is a report that can no longer be written.
        std::atomic<bool> unwritten{!output.out};
        watchStyleFile(path, WATCH_INTERVAL, unwritten, run.options.watchLimit, [&] {
            // A style being saved may be missing for a moment: keep the last one meanwhile.
            switch (runSteps(run, session, {path}, &error)) {
            case Steps::StyleUnread:
                output.err << "tintlet-preview: " << printable(error)
                           << "; keeping the last style\n"
                           << std::flush;
                break;
            case Steps::ReportUnwritten:
                unwritten = true;
                break;
            default:
                run.pictureFailed = !writeSvg(run) || run.pictureFailed;
            }
        });
        if (unwritten || run.pictureFailed) {
            return 1;
        }
    }
    return run.options.strict && run.warnings > 0 ? 3 : 0;
}

} // namespace

std::string hostPathOf(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string pathTooLong(const std::string& hostPath) {
    // The plug-in's copy of the path is bounded; a path cut short would name another file.
    if (hostPath.size() + 1 <= STYLE_PATH_BUFFER_SIZE) {
        return "";
    }
    return "a path of " + std::to_string(hostPath.size()) +
           " bytes is too long for the plug-in (at most " +
           std::to_string(STYLE_PATH_BUFFER_SIZE - 1) +
           "): it asks with an empty path, and the host's defaults apply";
}

int fail(const Output& output, const std::string& message, int status) {
    output.err << "tintlet-preview: " << printable(message) << "\n" << std::flush;
    return status;
}

int runPreview(const Options& options, const Output& output) {
    Run run{options, output, options.styles, 0, 0, false, {}};
    // A picture never replaces a style of the run, nor goes where it cannot be written whole.
    struct Picture {
        const char* name;
        PictureKind kind;
        std::string path;
    };
    std::vector<Picture> pictures;
    if (!options.svgPath.empty()) {
        pictures.push_back({"SVG", PictureKind::Svg, options.svgPath});
    }
    if (!options.screenshotPath.empty()) {
        for (const std::string& file : screenshotFiles(options.screenshotPath, options.styles)) {
            pictures.push_back({"screenshot", PictureKind::Png, file});
        }
    }
    for (const Picture& picture : pictures) {
        bool slip = false;
        const std::string refusal = pictureRefusal(picture.path, picture.kind, run.styles, &slip);
        if (!refusal.empty()) {
            return fail(output,
                        std::string("cannot write ") + picture.name + " \"" + picture.path +
                            "\": " + refusal,
                        slip ? 2 : 1);
        }
    }
    if (!options.screenshotPath.empty() && !screenshotNeeds().empty()) {
        return fail(output, screenshotNeeds());
    }
    // Every style is read before the plug-in starts, so a typo stops nothing half way; each is
    // read again at its step, so that only one is ever held.
    for (const std::string& path : run.styles) {
        std::string text, error;
        if (!stylefile::readStyleText(path, &text, &error)) {
            return fail(output, error);
        }
    }
    win32_standin::setSystemColor(COLOR_WINDOW, options.window);
    if (options.trace) {
        standin::setTrace([&output](const std::string& line) {
            output.out << "trace: " << printable(line) << "\n";
        });
    }
    const int status = runPlugin(run);
    standin::setTrace(nullptr);
    traceSystemColors(output, false);
    return status;
}

} // namespace preview
