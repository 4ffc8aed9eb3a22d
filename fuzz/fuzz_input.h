// Reads a fuzz input front to back as a sequence of choices. Past the end every choice is zero,
// so a short input still makes a complete, well-formed session. And how a target reports a rule
// broken.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Ends the run as a crash, so libFuzzer keeps the input that broke the rule.
[[noreturn]] inline void fail(const std::string& what) {
    std::fprintf(stderr, "the fuzz target broke a rule: %s\n", what.c_str());
    std::abort();
}

inline void require(bool condition, const char* what) {
    if (!condition) {
        fail(what);
    }
}

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return offset_ < size_ ? data_[offset_++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(byte() | byte() << 8); }
    uint32_t u32() { return u16() | static_cast<uint32_t>(u16()) << 16; }

    // The next `length` bytes as they stand (fewer when the input runs out).
    std::string text(size_t length) {
        const size_t count = std::min(length, size_ - offset_);
        offset_ += count;
        return std::string(reinterpret_cast<const char*>(data_) + offset_ - count, count);
    }

    // A text of exactly `length` non-zero bytes: a short piece of the input, repeated. Long texts
    // cost the input only a few bytes.
    std::string pattern(size_t length) {
        std::string piece = text(1 + byte() % 16);
        std::replace(piece.begin(), piece.end(), '\0', 'x');
        if (piece.empty()) {
            piece = "x";
        }
        std::string result;
        result.reserve(length);
        while (result.size() < length) {
            result += piece[result.size() % piece.size()];
        }
        return result;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

} // namespace fuzz
