// The one record of the calls made to the stand-in host's functions and to the Win32 stand-in, in
// the order they were made: what the tests check, and what the preview's trace shows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Call {
    std::string function;                  // "ReadColor", "SendMessageA", ...
    std::vector<std::uintptr_t> arguments; // as passed: numbers, handles, pointers
    std::vector<std::string> texts;        // what its text arguments held, in order ("" for null)
    std::uintptr_t result = 0;             // as returned: a number, a handle, a colour, a pointer
    std::string resultText;                // what a text it returned held
    std::vector<std::pair<int, std::uint32_t>> colors; // SetSysColors: each index and colour
    // A lookup: how the host came by its answer, and the style line of the key's value (0: none).
    enum class From : unsigned char { Line, Absent, NotColor, NoStyle } from = From::Line;
    int line = 0;
};

// An argument as the record keeps it: a pointer or handle as a number, a text as a copy.
inline std::uintptr_t number(const void* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}
inline std::string copyOf(const char* text) {
    return text != nullptr ? text : "";
}

// Calls are recorded from here on, or no longer (off at first: a soak makes millions).
void recordCalls(bool on);
bool recordingCalls();
void record(Call call);

// The calls recorded since the record was last emptied.
const std::vector<Call>& calls();
// Those calls, emptying the record.
std::vector<Call> takeCalls();

} // namespace standin
