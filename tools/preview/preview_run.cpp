#include "tools/preview/preview_run.h"

#include "colors/style_access.h"
#include "colors/style_lookups.h"
#include "colors/system_color_set.h"
#include "standin/call_record.h"
#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/picture_file.h"
#include "tools/preview/screenshot.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/style_fix.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/suggestions.h"
#include "tools/preview/style_watch.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/title_bar_svg.h"

#include <algorithm>
#include <atomic>
#include <cstring>
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
    std::vector<Fix> fixes;     // what the last step's report suggests
    int contrastWarnings = 0;   // in the last step's report
};

// Values the plug-in would read as a colour, in this style or another (another window colour,
// another texture), that are none: one warning each, with the defaults that then apply.
void addColorValueWarnings(const stylefile::StyleFile& style, Warnings* warnings) {
    for (int i = 0; i < STYLE_LOOKUP_COUNT; ++i) {
        const StyleLookupEntry& entry = styleLookups[i];
        COLORREF ignored = 0;
        const std::optional<stylefile::StyleLine> line = style.lineOf(entry.key);
        const bool first = std::none_of(styleLookups, styleLookups + i, [&](const auto& other) {
            return other.kind == LookupKind::Color && std::strcmp(other.key, entry.key) == 0;
        });
        if (entry.kind != LookupKind::Color || !first || !line ||
            stylefile::parseColor(line->value, ignored)) {
            continue;
        }
        warnings->add(line->line, [&, line = *line] {
            std::vector<std::string> defaults;
            for (const StyleLookupEntry& other : styleLookups) {
                if (other.kind != LookupKind::Color || std::strcmp(other.key, entry.key) != 0) {
                    continue;
                }
                const std::string text = std::string(other.defaultValue) + " (" +
                                         managedColorNames[static_cast<int>(other.field)] + ")";
                if (std::find(defaults.begin(), defaults.end(), text) == defaults.end()) {
                    defaults.push_back(text);
                }
            }
            std::string applies = defaults.size() == 1 ? "the default " : "the defaults ";
            for (std::size_t d = 0; d < defaults.size(); ++d) {
                applies += (d == 0 ? "" : d + 1 == defaults.size() ? " and " : ", ") + defaults[d];
            }
            return std::string(line.key) + " " + quotedText(line.value) + " is not a colour; " +
                   applies + (defaults.size() == 1 ? " applies" : " apply");
        });
    }
}

// Keys that will not do what their author meant: set twice (the later line wins), one or two
// edits or the same words from a key the plug-in reads, or holding a character that cannot be
// seen.
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
        if (match.read) {
            const int winner = style.lineOf(line.key)->line;
            if (winner != line.line) {
                warnings->add(line.line, [&] {
                    return std::string(line.key) + " is set on lines " + std::to_string(line.line) +
                           " and " + std::to_string(winner) + "; line " + std::to_string(winner) +
                           " wins";
                });
            }
            continue;
        }
        if (match.nearest == nullptr && invisible == nullptr) {
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
    addColorValueWarnings(style, &warnings);
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
    for (std::size_t at = 0; at < pass.size(); ++at) {
        const standin::Call& call = pass[at];
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
        } else if (call.function == "ReadString" && call.texts[2] == ABSENT_TEXT) {
            // Whether the style sets a key, asked with a default no value has; the test of the
            // answer follows, and says it.
            const bool set = at + 1 < pass.size() && pass[at + 1].function == "IsInString" &&
                             pass[at + 1].result == 0;
            at += at + 1 < pass.size() && pass[at + 1].function == "IsInString" ? 1 : 0;
            line = "ReadString(" + argument(0) + ", " + argument(1) + ") -> " +
                   (set ? quoted(true, call.resultText) + ": the key is set"
                        : std::string("nothing: the key is not set"));
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
    const ColorSources sources =
        colorSourcesOf(lookups, standin::currentStyle(), run.options.window);
    run.fixes = suggestFixes(colors, sources, run.options.window);
    std::vector<std::pair<int, std::string>> advice;
    for (const Fix& fix : run.fixes) {
        advice.emplace_back(fix.pair, fix.advice);
    }
    const int before = run.warnings;
    output.out << formatReport(path, step, colors, output.swatches, sources, run.options.window,
                               run.options.windowGiven, advice, &run.warnings)
               << std::flush;
    run.contrastWarnings = run.warnings - before;
    return output.out ? Steps::Done : Steps::ReportUnwritten;
}

// Writes the picture of the colours now applied, whole, or says why it could not.
bool writeSvg(Run& run) {
    const std::string& svgPath = run.options.svgPath;
    if (svgPath.empty()) {
        return true;
    }
    const std::string svg =
        renderTitleBarSvg(readAppliedColors(), run.options.window,
                          std::filesystem::path(standin::currentStylePath()).filename().string());
    std::string reason;
    const CleanupFirst partialPicture; // a stop signal waits until it is in place or removed
    if (!writePicture(svgPath, PictureKind::Svg, svg, run.styles, &reason)) {
        fail(run.output, "cannot write SVG \"" + svgPath + "\": " + reason);
        return false;
    }
    return true;
}

// Writes the style with the suggested colours put in and reports on it, as a style change:
// status 0 when no contrast warning is left there, else 3 with what could not be mended.
int writeFix(Run& run, standin::Session& session) {
    const std::string& path = run.options.fixPath;
    std::vector<StyleChange> changes;
    for (const Fix& fix : run.fixes) {
        const bool known = std::any_of(changes.begin(), changes.end(), [&](const StyleChange& c) {
            return c.key == fix.change.key;
        });
        if (fix.mends && !known) {
            changes.push_back(fix.change);
        }
    }
    std::string text, error, reason;
    if (!stylefile::readStyleText(run.styles.front(), &text, &error)) {
        return fail(run.output, error);
    }
    const CleanupFirst partialStyle;
    if (!writePicture(path, PictureKind::Style, mendedStyle(text, changes), run.styles, &reason)) {
        return fail(run.output, "cannot write \"" + path + "\": " + reason);
    }
    run.output.out << "mended copy " << printable(path) << ": " << changes.size()
                   << (changes.size() == 1 ? " colour" : " colours") << " changed\n";
    if (runStep(run, session, path, &error) != Steps::Done) {
        return fail(run.output, error);
    }
    for (const Fix& fix : run.fixes) {
        fail(run.output,
             path + ": " + contrastPairs[fix.pair].what + " is still hard to read: " + fix.advice);
    }
    return run.contrastWarnings == 0 ? 0 : 3;
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
    if (!run.options.fixPath.empty()) {
        return writeFix(run, session);
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
    Run run{options, output, options.styles, 0, 0, false, {}, 0};
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
    if (!options.fixPath.empty()) {
        pictures.push_back({"the mended style", PictureKind::Style, options.fixPath});
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
