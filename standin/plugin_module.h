// Loading the plug-in: on Linux it is linked in; on Windows Tintlet.dll is loaded by name.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

struct PluginModule {
    HINSTANCE instance = nullptr;
    int(__cdecl* begin)(HINSTANCE) = nullptr;
    int(__cdecl* end)(HINSTANCE) = nullptr;
};

// Loads the plug-in module (path ignored where it is linked in). False, with error set, when it
// cannot be loaded or lacks an entry point.
bool loadPlugin(const std::string& path, PluginModule* plugin, std::string* error);
void unloadPlugin(PluginModule* plugin);

} // namespace standin
