#include "tools/preview/preview_run.h"

#include "standin/host.h"
#include "standin/session.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/style_watch.h"
#include "tools/preview/title_bar_svg.h"
#include "win32/win32_standin.h"

#include <filesystem>
#include <fstream>

namespace preview {
namespace {

constexpr auto WATCH_INTERVAL = std::chrono::milliseconds(250);

int fail(const Output& output, const std::string& message) {
    output.err << "tintlet-preview: " << message << "\n";
    return 1;
}

void reportProblems(const std::string& path, const standin::StyleProblems& problems,
                    const Output& output) {
    for (const auto& problem : problems) {
        output.err << path << ":" << problem.line << ": " << problem.message << "\n";
    }
}

// Makes the style at path current and tells the plug-in; false, with error, when it cannot be read.
bool changeStyle(standin::Session& session, const std::string& path, const Output& output,
                 std::string* error) {
    standin::StyleProblems problems;
    const bool changed = session.change(path, error, &problems) >= 0;
    reportProblems(path, problems, output);
    return changed;
}

void report(const std::string& step, const Output& output) {
    output.out << formatReport(standin::currentStylePath(), step, readAppliedColors(),
                               output.swatches)
               << std::flush;
}

bool writeSvg(const std::string& svgPath, const Output& output) {
    if (svgPath.empty()) {
        return true;
    }
    std::ofstream file(svgPath, std::ios::binary | std::ios::trunc);
    file << renderTitleBarSvg(
        readAppliedColors(),
        std::filesystem::path(standin::currentStylePath()).filename().string());
    file.close();
    if (!file) {
        fail(output, "cannot write SVG \"" + svgPath + "\"");
        return false;
    }
    return true;
}

// Runs the plug-in from start to stop.
int runPlugin(const Options& options, const Output& output, const std::atomic<bool>& stop) {
    standin::Session session;
    standin::StyleProblems problems;
    std::string error;
    const bool loaded = session.load(options.styles.front(), &error, &problems);
    reportProblems(options.styles.front(), problems, output);
    if (!loaded) {
        return fail(output, error);
    }
    if (session.begin() != 0) {
        const auto& boxes = win32_standin::messageBoxes();
        return fail(output, "the plug-in failed to start" +
                                (boxes.empty() ? std::string() : ": " + boxes.back().text));
    }
    int changes = 0;
    report("start", output);
    for (std::size_t i = 1; i < options.styles.size(); ++i) {
        if (!changeStyle(session, options.styles[i], output, &error)) {
            return fail(output, error);
        }
        report("change " + std::to_string(++changes), output);
    }
    if (!writeSvg(options.svgPath, output)) {
        return 1;
    }
    if (options.watch) {
        const std::string path = options.styles.back();
        output.out << "watching " << path << " (Ctrl+C stops)\n" << std::flush;
        watchStyleFile(path, WATCH_INTERVAL, stop, options.watchLimit, [&] {
            // A style being saved may be missing for a moment: keep the last one meanwhile.
            if (!changeStyle(session, path, output, &error)) {
                output.err << "tintlet-preview: " << error << "; keeping the last style\n";
                return;
            }
            report("change " + std::to_string(++changes), output);
            writeSvg(options.svgPath, output);
        });
    }
    return 0;
}

} // namespace

int runPreview(const Options& options, const Output& output, const std::atomic<bool>& stop) {
    // Every style must be there before the plug-in starts, so a typo stops nothing half way.
    for (const std::string& path : options.styles) {
        std::string error;
        std::ifstream probe(path);
        if (!probe || std::filesystem::is_directory(path)) {
            standin::loadStyle(path, &error);
            return fail(output, error.empty() ? "cannot read style \"" + path + "\"" : error);
        }
    }
    if (options.trace) {
        standin::setTrace(
            [&output](const std::string& line) { output.out << "trace: " << line << "\n"; });
    }
    const int status = runPlugin(options, output, stop);
    standin::setTrace(nullptr);
    return status;
}

} // namespace preview
