// Off Windows the plug-in is linked into the stand-in host; loading binds its entry points.
#include "standin/plugin_module.h"

#include "plugin/plugin.h"

namespace standin {

namespace {
// Stands for the address a loaded module would have; the plug-in only hands it back to us.
HINSTANCE const LINKED_MODULE = reinterpret_cast<HINSTANCE>(0x10000000);
} // namespace

bool loadPlugin(const std::string&, PluginModule* plugin, std::string*) {
    plugin->instance = LINKED_MODULE;
    plugin->begin = beginPlugin;
    plugin->end = endPlugin;
    return true;
}

void unloadPlugin(PluginModule* plugin) {
    *plugin = PluginModule();
}

} // namespace standin
