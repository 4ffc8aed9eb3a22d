#include "tools/preview/tool_files.h"

#include <filesystem>

namespace preview {
namespace {

// TINTLET_DATA and TINTLET_LIBEXEC: the folders relative to the tool's own, set when configured.
std::string besideTool(const char* folder, const char* name) {
    std::error_code error;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
    return (tool.parent_path() / folder / name).lexically_normal().string();
}

} // namespace

std::string bundledStyle() {
    return besideTool(TINTLET_DATA, "styles/harbour-dusk.style");
}

std::string screenshotScript() {
    return besideTool(TINTLET_LIBEXEC, "screenshots.sh");
}

std::string screenshotSettings() {
    return besideTool(TINTLET_DATA, "screenshots.reg");
}

std::string windowsPrograms() {
    return besideTool(TINTLET_LIBEXEC, "windows");
}

} // namespace preview
