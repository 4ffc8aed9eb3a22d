// On Windows the plug-in is Tintlet.dll, loaded by path and bound by its exported names.
#include "standin/plugin_module.h"

namespace standin {

namespace {

template <typename Function> Function entryPoint(HMODULE module, const char* name) {
    // Through the generic function pointer type, which converts to and from every other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

bool loadPlugin(const std::string& path, PluginModule* plugin, std::string* error) {
    *plugin = PluginModule();
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        if (error != nullptr) {
            *error = "cannot load plug-in \"" + path + "\" (error " +
                     std::to_string(GetLastError()) + ")";
        }
        return false;
    }
    using EntryPoint = int(__cdecl*)(HINSTANCE);
    EntryPoint begin = entryPoint<EntryPoint>(module, "beginPlugin");
    EntryPoint end = entryPoint<EntryPoint>(module, "endPlugin");
    if (begin == nullptr || end == nullptr) {
        FreeLibrary(module);
        if (error != nullptr) {
            *error = "plug-in \"" + path + "\" lacks " +
                     (begin == nullptr ? "beginPlugin" : "endPlugin");
        }
        return false;
    }
    plugin->instance = module;
    plugin->begin = begin;
    plugin->end = end;
    return true;
}

void unloadPlugin(PluginModule* plugin) {
    if (plugin->instance != nullptr) {
        FreeLibrary(plugin->instance);
    }
    *plugin = PluginModule();
}

} // namespace standin
