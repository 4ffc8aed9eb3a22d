// IsInString as each build of the stand-in host exports it.
//
// Marlwood.exe answers in the whole of EAX, as hosts built with other compilers or languages do:
// for found a nonzero byte that varies from call to call, and noise in the three bytes above
// it, found or not. Tintlet.dll gives the native colours under Wine only if it reads that one
// byte alone and takes any nonzero value for found. On Linux the stand-in answers the byte as
// the plug-in declares it.
#include "standin/host.h"

#include <cstdint>
#include <iterator>

#ifdef _WIN32

namespace {

const uint8_t foundBytes[] = {0x01, 0x02, 0x10, 0x80, 0xFE, 0xFF};
uint32_t answers;

} // namespace

extern "C" __declspec(dllexport) uint32_t
    __cdecl IsInString(const char* text, const char* fragment) {
    ++answers;
    const uint32_t noise = (answers * 0x9E3779B1u) & 0xFFFFFF00u;
    const uint8_t truth =
        standin::textContains(text, fragment) ? foundBytes[answers % std::size(foundBytes)] : 0;
    return (noise != 0 ? noise : 0xA5A5A500u) | truth;
}

#else

#include "host/marlwood.h"

extern "C" unsigned char __cdecl IsInString(const char* text, const char* fragment) {
    return standin::textContains(text, fragment) ? 1 : 0;
}

#endif
