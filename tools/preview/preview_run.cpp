#include "tools/preview/preview_run.h"

#include "colors/style_access.h"
#include "colors/style_lookups.h"
#include "colors/system_color_set.h"
#include "standin/call_record.h"
#include "standin/host.h"
#include "standin/session.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/host_trace.h"
#include "tools/preview/picture_file.h"
#include "tools/preview/screenshot.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/style_fix.h"
#include "tools/preview/style_keys.h"
#include "tools/preview/style_warnings.h"
#include "tools/preview/suggestions.h"
#include "tools/preview/style_watch.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/title_bar_svg.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <tuple>

namespace preview {
namespace {

constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(250);

// A style read for its step: the lines of the keys the plug-in reads, what the rest of its text
// warrants, and for --fix the text as written.
struct ReadStyle {
    std::string path;
    stylefile::StyleFile style;
    Warnings warnings;
    std::string text;
};

// Reads the style at path once, keeping only what its step needs. False, with error, when it
// cannot be read.
bool readStyle(const std::string& path, bool keepText, ReadStyle* read, std::string* error) {
    std::string text;
    stylefile::StyleProblems problems;
    if (!stylefile::readStyleText(path, &text, error)) {
        return false;
    }
    const stylefile::StyleFile whole = stylefile::StyleFile::parseInPlace(
        keepText ? std::string(text) : std::move(text), &problems);
    std::vector<std::string_view> pluginKeys;
    for (const StyleLookupEntry& entry : styleLookups) {
        pluginKeys.push_back(entry.key);
    }
    *read = {path, whole.only(pluginKeys), styleWarnings(whole, problems),
             keepText ? std::move(text) : std::string()};
    return true;
}

struct Run {
    const Options& options;
    const Output& output;
    int warnings = 0;
    int changes = 0;
    std::vector<Fix> fixes{}; // what the last step's report says under its warnings
    std::string otherStyle{}; // why the last step's plug-in read another style, if it did
};

// A mended style replaces a file only when the user says it may.
PictureKind fixKind(const Options& options) {
    return options.force ? PictureKind::Style : PictureKind::NewStyle;
}

// One step of the run on a style read for it: the start when the plug-in is not running yet, else
// a change. After it come, with --trace, the host calls of the step, then the style's warnings
// and the report of the colours applied. Returns 0; 1 after saying why the plug-in did not start,
// or when the report could not be written.
int runStep(Run& run, standin::Session& session, ReadStyle& read) {
    const Output& output = run.output;
    const std::string& path = read.path;
    const std::string step =
        session.running() ? "change " + std::to_string(++run.changes) : "start";
    // The host gives the plug-in the style's absolute path, whatever folder it runs in.
    const std::string hostPath = hostPathOf(path);
    standin::setStyle(hostPath, std::move(read.style));
    standin::recordCalls(true);
    const standin::Step done = session.step();
    standin::recordCalls(false);
    const std::vector<standin::Call> pass = standin::takeCalls();
    if (run.options.trace) {
        output.out << "host calls of the " << step << " with " << printable(path) << ":\n";
        printTrace(output, pass);
    }
    if (done.start && done.result != 0) {
        // With the text of the last error box it showed, if any.
        const auto box = std::find_if(pass.rbegin(), pass.rend(), [](const standin::Call& call) {
            return call.function == "MessageBoxA";
        });
        return fail(output, "the plug-in failed to start" +
                                (box != pass.rend() ? ": " + box->texts[0] : ""));
    }
    output.out << std::flush;
    run.otherStyle = otherStyleRead(hostPath, pass);
    const std::size_t unread =
        addPassWarnings(standin::currentStyle(), run.otherStyle, pass, &read.warnings);
    run.warnings += static_cast<int>(printWarnings(output, path, read.warnings) - unread);
    const AppliedColors colors = readAppliedColors();
    const ColorSources sources = colorSourcesOf(pass, run.options.window);
    run.fixes = suggestFixes(colors, sources, run.options.window);
    output.out << formatReport(path, step, colors, output.swatches, sources, run.options.window,
                               run.options.windowGiven, run.fixes, &run.warnings)
               << std::flush;
    return output.out ? 0 : 1;
}

// Writes the picture of the colours now applied, whole: 0, or 1 after saying why it could not.
int writeSvg(Run& run) {
    const std::string& svgPath = run.options.svgPath;
    if (svgPath.empty()) {
        return 0;
    }
    const std::string svg =
        renderTitleBarSvg(readAppliedColors(), run.options.window,
                          std::filesystem::path(standin::currentStylePath()).filename().string());
    std::string reason;
    const CleanupFirst partialPicture; // a stop signal waits until it is in place or removed
    if (!writePicture(svgPath, PictureKind::Svg, svg, run.options.styles, &reason)) {
        return fail(run.output, "cannot write SVG \"" + svgPath + "\": " + reason);
    }
    return 0;
}

// Writes the style with the suggested colours put in and reports on it, as a style change:
// status 0 when no contrast warning is left there, else 3 with what could not be mended.
int writeFix(Run& run, standin::Session& session, const std::string& text) {
    const std::string& path = run.options.fixPath;
    std::vector<StyleChange> changes;
    for (const Fix& fix : run.fixes) {
        if (fix.change) {
            changes.push_back(*fix.change);
        }
    }
    std::string error, reason;
    if (!run.otherStyle.empty()) {
        return fail(run.output, "no mended copy: " + run.otherStyle);
    }
    const CleanupFirst partialStyle;
    if (!writePicture(path, fixKind(run.options), mendedStyle(text, changes), run.options.styles,
                      &reason)) {
        return fail(run.output, "cannot write \"" + path + "\": " + reason);
    }
    run.output.out << "mended copy " << printable(path) << ": " << changes.size()
                   << (changes.size() == 1 ? " colour" : " colours") << " changed\n";
    ReadStyle mended;
    if (!readStyle(path, false, &mended, &error)) {
        return fail(run.output, error);
    }
    if (runStep(run, session, mended) != 0) {
        return 1;
    }
    for (const Fix& fix : run.fixes) {
        fail(run.output,
             path + ": " + contrastPairs[fix.pair].what + " is still hard to read: " + fix.advice);
    }
    // Every contrast warning has a line of advice under it.
    return run.fixes.empty() ? 0 : 3;
}

// Runs the plug-in from start to stop.
int runPlugin(Run run, std::vector<ReadStyle>& styles) {
    const Output& output = run.output;
    standin::Session session;
    std::string error;
    if (!session.load(&error)) {
        return fail(output, error);
    }
    for (ReadStyle& style : styles) {
        if (runStep(run, session, style) != 0) {
            return 1;
        }
    }
    if (writeSvg(run) != 0) {
        return 1;
    }
    if (!run.options.fixPath.empty()) {
        return writeFix(run, session, styles.back().text);
    }
    if (!run.options.screenshotPath.empty()) {
        session.stop();              // the screenshots run the plug-in themselves, as Wine's is run
        const CleanupFirst wineAndX; // ended before the tool ends
        if (takeScreenshots(run.options, output, stopRequested()) != 0) {
            return 1;
        }
    }
    if (run.options.watch) {
        const std::string path = run.options.styles.back();
        output.out << "watching " << printable(path) << " (Ctrl+C stops)\n" << std::flush;
        // Outside a picture being put in place a stop signal has ended the tool already: what
        // ends the watch here is a report that can no longer be written.
        std::atomic<bool> unwritten{!output.out};
        bool pictureFailed = false;
        watchStyleFile(path, WATCH_INTERVAL, unwritten, run.options.watchLimit, [&] {
            // A style being saved may be missing for a moment: keep the last one meanwhile.
            ReadStyle read;
            if (!readStyle(path, false, &read, &error)) {
                fail(output, error + "; keeping the last style");
                return;
            }
            if (runStep(run, session, read) != 0) {
                unwritten = true;
            } else if (writeSvg(run) != 0) {
                pictureFailed = true;
            }
        });
        if (unwritten || pictureFailed) {
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
    return hostPath.size() + 1 <= STYLE_PATH_BUFFER_SIZE
               ? ""
               : "a path of " + std::to_string(hostPath.size()) +
                     " bytes is too long for the plug-in (at most " +
                     std::to_string(STYLE_PATH_BUFFER_SIZE - 1) +
                     "): it asks with an empty path, and the host's defaults apply";
}

int fail(const Output& output, const std::string& message, int status) {
    output.err << "tintlet-preview: " << printable(message) << "\n" << std::flush;
    return status;
}

int runPreview(const Options& options, const Output& output) {
    // A picture never replaces a style of the run, nor goes where it cannot be written whole.
    std::vector<std::tuple<const char*, PictureKind, std::string>> pictures = {
        {"SVG", PictureKind::Svg, options.svgPath},
        {"the mended style", fixKind(options), options.fixPath}};
    if (!options.screenshotPath.empty()) {
        for (const std::string& file : screenshotFiles(options.screenshotPath, options.styles)) {
            pictures.emplace_back("screenshot", PictureKind::Png, file);
        }
    }
    for (const auto& [name, kind, path] : pictures) {
        bool slip = false;
        const std::string refusal =
            path.empty() ? "" : pictureRefusal(path, kind, options.styles, &slip);
        if (!refusal.empty()) {
            return fail(output,
                        std::string("cannot write ") + name + " \"" + path + "\": " + refusal,
                        slip ? 2 : 1);
        }
    }
    const std::string lacking = options.screenshotPath.empty() ? "" : screenshotNeeds();
    if (!lacking.empty()) {
        return fail(output, lacking);
    }
    // Every style is read before the plug-in starts, so a typo stops nothing half way.
    std::vector<ReadStyle> styles(options.styles.size());
    for (std::size_t i = 0; i < styles.size(); ++i) {
        std::string error;
        if (!readStyle(options.styles[i], !options.fixPath.empty(), &styles[i], &error)) {
            return fail(output, error);
        }
    }
    // The window colour the plug-in finds, as a user's own Windows would hold it.
    const INT window = COLOR_WINDOW;
    SetSysColors(1, &window, &options.window);
    return runPlugin({options, output}, styles);
}

} // namespace preview
