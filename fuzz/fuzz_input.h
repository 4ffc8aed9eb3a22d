// Reads a fuzz input front to back as a sequence of choices. Past the end every choice is zero,
// so a short input still makes a complete, well-formed session.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return offset_ < size_ ? data_[offset_++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(byte() | byte() << 8); }
    uint32_t u32() { return u16() | static_cast<uint32_t>(u16()) << 16; }

    // The next `length` bytes as they stand (fewer when the input runs out).
    std::string text(size_t length) {
        std::string result;
        while (result.size() < length && offset_ < size_) {
            result += static_cast<char>(data_[offset_++]);
        }
        return result;
    }

    // A text of exactly `length` non-zero bytes: a short piece of the input, repeated. Long texts
    // cost the input only a few bytes.
    std::string pattern(size_t length) {
        std::string piece = text(1 + byte() % 16);
        for (char& c : piece) {
            c = c == '\0' ? 'x' : c;
        }
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
