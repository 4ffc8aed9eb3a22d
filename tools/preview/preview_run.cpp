#include "tools/preview/preview_run.h"

#include "colors/style_access.h"
#include "colors/system_color_set.h"
#include "standin/call_record.h"
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
    bool pictureFailed = false; // a picture could not be written while watching
};

// Colour values the plug-in read and could not use, one warning per key with every default
// that then applied.
void addColorValueWarnings(const std::string& path, const stylefile::StyleFile& style,
                           const std::vector<Lookup>& pass, Warnings* warnings) {
    std::vector<std::pair<stylefile::StyleLine, std::vector<std::string>>> unusable;
    for (const Lookup& lookup : pass) {
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
                       const std::vector<Lookup>& pass) {
    const stylefile::StyleFile& style = standin::currentStyle();
    Warnings warnings;
    for (const Lookup& lookup : pass) {
        if (lookup.path != hostPath) {
            warnings.add(0, [&] {
                const std::string tooLong = pathTooLong(hostPath);
                return !tooLong.empty() ? tooLong
                                        : "the plug-in asked for \"" + std::string(lookup.path) +
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

// A text argument or answer as the trace shows it; quotes and backslashes inside it are escaped,
// so where it ends stays plain.
std::string quoted(bool given, const std::string& text) {
    if (!given) {
        return "null";
    }
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? "\\x22" : c == '\\' ? "\\x5c" : std::string(1, c);
    }
    return out + "\"";
}

// The trace of one pass: the plug-in's host calls, the window colour it read and the ten-colour
// call, from the record of its calls.
void printTrace(const Output& output, const std::vector<standin::Call>& pass) {
    for (const standin::Call& call : pass) {
        const auto argument = [&](std::size_t i) {
            return quoted(call.arguments[i] != 0, call.texts[i]);
        };
        std::string line;
        if (call.function == "GetMWWnd") {
            char handle[24];
            std::snprintf(handle, sizeof handle, "0x%lx", static_cast<unsigned long>(call.result));
            line = "GetMWWnd() -> " + std::string(handle);
        } else if (call.function == "stylePath") {
            line = "stylePath(" + argument(0) + ") -> " + quoted(call.result != 0, call.resultText);
        } else if (call.function == "ReadString" || call.function == "ReadColor") {
            const bool text = call.function == "ReadString";
            line = call.function + "(" + argument(0) + ", " + argument(1) + ", " + argument(2) +
                   ") -> " + (text ? quoted(call.result != 0, call.resultText) : call.resultText) +
                   (call.note.empty() ? "" : " (" + call.note + ")");
        } else if (call.function == "IsInString") {
            line = "IsInString(" + argument(0) + ", " + argument(1) + ") -> " + call.resultText;
        } else if (call.function == "GetSysColor") {
            line = "GetSysColor(" + colorName(static_cast<int>(call.arguments[0])) + ") -> " +
                   stylefile::colorText(static_cast<COLORREF>(call.result));
        } else if (call.function == "SetSysColors") {
            line = "SetSysColors(" + std::to_string(call.colors.size()) + " colours)";
            for (const auto& [index, color] : call.colors) {
                output.out << "trace: " << line << "\n";
                line = "  " + colorName(index) + " " + std::to_string(index) + " " +
                       stylefile::colorText(color);
            }
        } else {
            continue; // the rest of Windows: the window and its messages
        }
        output.out << "trace: " << printable(line) << "\n";
    }
}

// Why the plug-in did not start: the text of the error box it showed, if any.
std::string startFailure(const std::vector<standin::Call>& pass) {
    for (auto call = pass.rbegin(); call != pass.rend(); ++call) {
        if (call->function == "MessageBoxA") {
            return "the plug-in failed to start: " + call->texts[0];
        }
    }
    return "the plug-in failed to start";
}

enum class Steps { Done, StyleUnread, NotStarted, ReportUnwritten };

// One step of the run on the style at path: the start when the plug-in is not running yet, else
// a change. The style is read just before its step and is the only one in memory. After it come,
// with --trace, the host calls of the step, then the style's warnings and the report of the
// colours applied. A style that cannot be read ends the run with error, and the last style read
// stays the host's.
Steps runStep(Run& run, standin::Session& session, const std::string& path, std::string* error) {
    const Output& output = run.output;
    stylefile::StyleFile style;
    stylefile::StyleProblems problems;
    if (!stylefile::readStyleFile(path, &style, error, &problems)) {
        return Steps::StyleUnread;
    }
    const std::string step =
        session.running() ? "change " + std::to_string(++run.changes) : "start";
    // The host gives the plug-in the style's absolute path, whatever folder it runs in.
    const std::string hostPath = hostPathOf(path);
    standin::setStyle(hostPath, std::move(style));
    standin::recordCalls(true);
    const standin::Step done = session.step();
    standin::recordCalls(false);
    const std::vector<standin::Call> pass = standin::takeCalls();
    if (run.options.trace) {
        output.out << "host calls of the " << step << " with " << printable(path) << ":\n";
        printTrace(output, pass);
    }
    if (done.start && done.result != 0) {
        *error = startFailure(pass);
        return Steps::NotStarted;
    }
    const std::vector<Lookup> lookups = lookupsOf(pass);
    output.out << std::flush;
    printWarnings(run, path, inputWarnings(hostPath, problems, lookups));
    output.err << std::flush;
    const AppliedColors colors = readAppliedColors();
    output.out << formatReport(path, step, colors, output.swatches, colorsFromDefaults(lookups),
                               run.options.window, &run.warnings)
               << std::flush;
    return output.out ? Steps::Done : Steps::ReportUnwritten;
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
    for (const std::string& path : run.styles) {
        switch (runStep(run, session, path, &error)) {
        case Steps::Done:
            break;
        case Steps::StyleUnread:
        case Steps::NotStarted:
            return fail(output, error);
        case Steps::ReportUnwritten:
            return 1;
        }
    }
    if (!writeSvg(run)) {
        return 1;
    }
    if (!run.options.screenshotPath.empty()) {
        session.stop(); // the screenshots run the plug-in themselves, as Wine's is run
        const ScreenshotPlan plan{run.options.screenshotPath, run.styles, run.options.window,
                                  run.options.trace};
        const CleanupFirst wineAndX; // ended before the tool ends
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
            switch (runStep(run, session, path, &error)) {
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
    Run run{options, output, options.styles, 0, 0, false};
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
    // The window colour the plug-in finds, as a user's own Windows would hold it.
    const INT window = COLOR_WINDOW;
    SetSysColors(1, &window, &options.window);
    return runPlugin(run);
}

} // namespace preview
