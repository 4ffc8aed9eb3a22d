// IsInString as each build of the stand-in host exports it.
//
// Marlwood.exe answers in the whole return register (EAX, or RAX on x64), as hosts built with
// other compilers or languages do: for found a nonzero byte that varies from call to call, and
// noise in every byte above it, found or not. Tintlet.dll gives the native colours under Wine
// only if it reads that one byte alone and takes any nonzero value for found. On Linux the
// stand-in answers the byte as the plug-in declares it.
#include "standin/host.h"

#include <cstdint>
#include <iterator>

#ifdef _WIN32

namespace {

const uint8_t foundBytes[] = {0x01, 0x02, 0x10, 0x80, 0xFE, 0xFF};
uint64_t answers;

} // namespace

// uintptr_t: as wide as the return register.
extern "C" __declspec(dllexport) uintptr_t
    __cdecl IsInString(const char* text, const char* fragment) {
    ++answers;
    const auto noise = static_cast<uintptr_t>(answers * 0x9E3779B97F4A7C15u) & ~uintptr_t{0xFF};
    const uint8_t truth =
        standin::textContains(text, fragment) ? foundBytes[answers % std::size(foundBytes)] : 0;
    return (noise != 0 ? noise : static_cast<uintptr_t>(0xA5A5A5A5A5A5A500u)) | truth;
}

#else

#include "host/marlwood.h"

extern "C" unsigned char __cdecl IsInString(const char* text, const char* fragment) {
    return standin::textContains(text, fragment) ? 1 : 0;
}

#endif
