#include "tools/preview/preview_run.h"

#include "standin/host.h"
#include "standin/plugin_module.h"
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

bool applyStyle(const std::string& path, const Output& output, std::string* error) {
    std::vector<stylefile::StyleProblem> problems;
    if (!standin::loadStyle(path, error, &problems)) {
        return false;
    }
    for (const auto& problem : problems) {
        output.err << path << ":" << problem.line << ": " << problem.message << "\n";
    }
    return true;
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

// Runs the plug-in from start to stop; the main window exists and the first style is current.
int runPlugin(const Options& options, const Output& output, const std::atomic<bool>& stop) {
    standin::PluginModule plugin;
    std::string error;
    if (!standin::loadPlugin("Tintlet.dll", &plugin, &error)) {
        return fail(output, error);
    }
    if (plugin.begin(plugin.instance) != 0) {
        const auto& boxes = win32_standin::messageBoxes();
        return fail(output, "the plug-in failed to start" +
                                (boxes.empty() ? std::string() : ": " + boxes.back().text));
    }
    int status = 0;
    int changes = 0;
    report("start", output);
    for (std::size_t i = 1; i < options.styles.size() && status == 0; ++i) {
        if (!applyStyle(options.styles[i], output, &error)) {
            status = fail(output, error);
            break;
        }
        standin::broadcastStyleChanged();
        report("change " + std::to_string(++changes), output);
    }
    if (status == 0 && !writeSvg(options.svgPath, output)) {
        status = 1;
    }
    if (status == 0 && options.watch) {
        const std::string path = options.styles.back();
        output.out << "watching " << path << " (Ctrl+C stops)\n" << std::flush;
        watchStyleFile(path, WATCH_INTERVAL, stop, options.watchLimit, [&] {
            // A style being saved may be missing for a moment: keep the last one meanwhile.
            if (!applyStyle(path, output, &error)) {
                output.err << "tintlet-preview: " << error << "; keeping the last style\n";
                return;
            }
            standin::broadcastStyleChanged();
            report("change " + std::to_string(++changes), output);
            writeSvg(options.svgPath, output);
        });
    }
    plugin.end(plugin.instance);
    standin::unloadPlugin(&plugin);
    return status;
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
    if (standin::createMainWindow(GetModuleHandleA(nullptr)) == nullptr) {
        return fail(output, "cannot create the host's main window");
    }
    if (options.trace) {
        standin::setTrace(
            [&output](const std::string& line) { output.out << "trace: " << line << "\n"; });
    }
    std::string error;
    int status = applyStyle(options.styles.front(), output, &error)
                     ? runPlugin(options, output, stop)
                     : fail(output, error);
    standin::setTrace(nullptr);
    standin::destroyMainWindow();
    return status;
}

} // namespace preview
