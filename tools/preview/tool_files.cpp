#include "tools/preview/tool_files.h"

#include <filesystem>

namespace preview {

std::string toolFile(ToolFolder folder, const std::string& name) {
    std::error_code error;
    const std::filesystem::path tool = std::filesystem::read_symlink("/proc/self/exe", error);
    // TINTLET_DATA and TINTLET_LIBEXEC: the folders relative to the tool's own, set when
    // configured.
    const char* const relative = folder == ToolFolder::Data ? TINTLET_DATA : TINTLET_LIBEXEC;
    return (tool.parent_path() / relative / name).lexically_normal().string();
}

} // namespace preview
