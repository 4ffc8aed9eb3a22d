// Every call a reading pass makes outside the plug-in: the five host functions and Windows'
// GetSysColor and SetSysColors. The benchmark links with `--wrap` for each, so the plug-in's
// calls (and the benchmark's own) pass through here, where they can be recorded, forwarded to
// the stand-in host and the Win32 stand-in, or answered by a stub that allocates nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace bench {

enum class HostMode {
    Standin,   // forward to the stand-in host and the Win32 stand-in
    Counting,  // the same, and count the allocations made inside the calls
    Recording, // the same, and record each call
    Stub,      // fixed answers from static storage: nothing allocates, nothing is logged
};

void setHostMode(HostMode mode);

enum class CallKind { StylePath, ReadString, ReadColor, IsInString, GetSysColor, SetSysColors };

// One recorded call, enough to make it again. Keys, defaults and fragments are the plug-in's
// string literals, so their pointers stay valid.
struct HostCall {
    CallKind kind;
    const char* key = nullptr;
    const char* text = nullptr; // default text, default colour or fragment
    int index = 0;
    INT indices[10] = {};
    COLORREF values[10] = {};
};

const std::vector<HostCall>& recordedCalls();
// Empties the record and makes room, so that recording a pass allocates nothing itself.
void clearRecordedCalls();

// Allocations made inside the stand-in host's functions, and inside the Win32 stand-in, while
// counting or recording.
std::size_t hostAllocations();
std::size_t windowsAllocations();

} // namespace bench
