// IsInString as each build of the stand-in host exports it.
//
// Both answer in the whole of the return register (EAX, or RAX on x64), as hosts built with other
// compilers or languages do: for found a nonzero byte, and noise in the bits above it, found or
// not. The plug-in gives the same colours only if it reads that one byte alone and takes any
// nonzero value for found. Marlwood.exe varies the byte from call to call; the Linux build
// answers the byte a test sets (standin::answerWith).
#include "standin/host.h"

#include <cstdint>
#include <iterator>

namespace {

uint64_t answered; // calls so far, to vary the noise

uint64_t noise() {
    const uint64_t bits = (++answered * 0x9E3779B97F4A7C15u) & ~uint64_t{0xFF};
    return bits != 0 ? bits : 0xA5A5A5A5A5A5A500u;
}

} // namespace

#ifdef _WIN32

namespace {
const uint8_t foundBytes[] = {0x01, 0x02, 0x10, 0x80, 0xFE, 0xFF};
} // namespace

// The whole return register, whatever its width.
extern "C" __declspec(dllexport) uintptr_t
    __cdecl IsInString(const char* text, const char* fragment) {
    const uint8_t truth =
        standin::textContains(text, fragment) ? foundBytes[answered % std::size(foundBytes)] : 0;
    return static_cast<uintptr_t>(noise()) | truth;
}

#else

#include "host/marlwood.h"

extern "C" uint64_t standinIsInString(const char* text, const char* fragment) {
    const bool found = standin::textContains(text, fragment);
    return noise() | (found ? standin::answers().foundByte : 0);
}

#if defined(__x86_64__) && defined(__ELF__)
// IsInString hands the plug-in standinIsInString's whole register. Written in assembly, so no
// C++ code ever calls a function through a type it was not defined with.
asm(R"(
    .text
    .globl IsInString
    .type IsInString, @function
IsInString:
    jmp standinIsInString@PLT
    .size IsInString, .-IsInString
)");
#else
extern "C" unsigned char __cdecl IsInString(const char* text, const char* fragment) {
    return static_cast<unsigned char>(standinIsInString(text, fragment));
}
#endif

#endif
