// Standard output and error as the preview writes them: a write that fails (a full disk, a
// reader that has gone, a descriptor that was closed) is remembered with the system's reason,
// so the tool says so and does not end as if all were well.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>

namespace preview {

// Writes all of text to descriptor, again after an interrupted or short write: 0, or the errno of
// the write that failed.
int writeAll(int descriptor, const char* text, std::size_t size);

class OutputFile : public std::streambuf {
  public:
    // Writes to descriptor. One that is not open is taken by /dev/null, so that no file the tool
    // opens later gets its number, and every write to it fails.
    explicit OutputFile(int descriptor);
    ~OutputFile() override;

    // Whether a write has failed, and why ("No space left on device").
    bool failed() const { return error_ != 0; }
    std::string reason() const;

  protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    bool flushBuffer();
    bool write(const char* text, std::size_t count);

    int descriptor_;
    int error_ = 0;
    bool closed_ = false;
    char buffer_[8192];
};

} // namespace preview
