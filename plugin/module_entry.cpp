// Tintlet.dll's own entry point, in place of the C runtime's start-up code. The module has no
// constructors, no heap and no thread-local data, so there is nothing to set up or tear down
// when Windows loads or unloads it; agreeing to every notification is all that is left to do.
#include <windows.h>

extern "C" BOOL WINAPI tintletEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
