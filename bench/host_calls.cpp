#include "bench/host_calls.h"

#include "bench/allocation_counter.h"
#include "host/marlwood.h"

#include <cstring>

// The definitions `--wrap` puts behind the wrapped names.
extern "C" {
const char* __cdecl __real_stylePath(const char* unused);
const char* __cdecl __real_ReadString(const char* path, const char* key, const char* defaultText);
COLORREF __cdecl __real_ReadColor(const char* path, const char* key, const char* defaultColor);
unsigned char __cdecl __real_IsInString(const char* text, const char* fragment);
DWORD WINAPI __real_GetSysColor(int index);
BOOL WINAPI __real_SetSysColors(int count, const INT* indices, const COLORREF* values);
}

namespace bench {
namespace {

HostMode mode = HostMode::Standin;
std::vector<HostCall> recorded;
std::size_t inHost = 0;
std::size_t inWindows = 0;

// Forwards a call; while counting, books what it allocated to `account`, and while recording
// also keeps what `describe` makes of it. Timed passes take the plain branch: wrapping costs them
// one test.
template <typename Describe, typename Call>
auto forward(std::size_t& account, Describe describe, Call real) {
    if (mode != HostMode::Recording && mode != HostMode::Counting) {
        return real();
    }
    if (mode == HostMode::Recording) {
        recorded.push_back(describe());
    }
    const std::size_t before = allocationCount();
    auto result = real();
    account += allocationCount() - before;
    return result;
}

HostCall lookup(CallKind kind, const char* key, const char* text) {
    HostCall call{kind};
    call.key = key;
    call.text = text;
    return call;
}

} // namespace

void setHostMode(HostMode newMode) {
    mode = newMode;
}
const std::vector<HostCall>& recordedCalls() {
    return recorded;
}
void clearRecordedCalls() {
    recorded.clear();
    recorded.reserve(512); // so that recording a pass allocates nothing of its own
}
std::size_t hostAllocations() {
    return inHost;
}
std::size_t windowsAllocations() {
    return inWindows;
}

} // namespace bench

using bench::CallKind;
using bench::HostCall;
using bench::HostMode;

extern "C" {

const char* __cdecl __wrap_stylePath(const char* unused) {
    if (bench::mode == HostMode::Stub) {
        return "/styles/stub.style";
    }
    return bench::forward(
        bench::inHost, [] { return HostCall{CallKind::StylePath}; },
        [&] { return __real_stylePath(unused); });
}

const char* __cdecl __wrap_ReadString(const char* path, const char* key, const char* defaultText) {
    if (bench::mode == HostMode::Stub) {
        return defaultText;
    }
    return bench::forward(
        bench::inHost, [&] { return bench::lookup(CallKind::ReadString, key, defaultText); },
        [&] { return __real_ReadString(path, key, defaultText); });
}

COLORREF __cdecl __wrap_ReadColor(const char* path, const char* key, const char* defaultColor) {
    if (bench::mode == HostMode::Stub) {
        return 0x00336699;
    }
    return bench::forward(
        bench::inHost, [&] { return bench::lookup(CallKind::ReadColor, key, defaultColor); },
        [&] { return __real_ReadColor(path, key, defaultColor); });
}

unsigned char __cdecl __wrap_IsInString(const char* text, const char* fragment) {
    if (bench::mode == HostMode::Stub) {
        return std::strstr(text, fragment) != nullptr;
    }
    return bench::forward(
        bench::inHost, [&] { return bench::lookup(CallKind::IsInString, nullptr, fragment); },
        [&] { return __real_IsInString(text, fragment); });
}

DWORD WINAPI __wrap_GetSysColor(int index) {
    if (bench::mode == HostMode::Stub) {
        return 0x00FFFFFF;
    }
    auto describe = [&] {
        HostCall call{CallKind::GetSysColor};
        call.index = index;
        return call;
    };
    return bench::forward(bench::inWindows, describe, [&] { return __real_GetSysColor(index); });
}

BOOL WINAPI __wrap_SetSysColors(int count, const INT* indices, const COLORREF* values) {
    if (bench::mode == HostMode::Stub) {
        return TRUE;
    }
    auto describe = [&] {
        HostCall call{CallKind::SetSysColors};
        call.index = count;
        for (int i = 0; i < count && i < 10; ++i) {
            call.indices[i] = indices[i];
            call.values[i] = values[i];
        }
        return call;
    };
    return bench::forward(bench::inWindows, describe,
                          [&] { return __real_SetSysColors(count, indices, values); });
}
}
