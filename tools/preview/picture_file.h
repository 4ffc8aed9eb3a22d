// Where a picture of the preview goes (--svg, and each file of --screenshot): never over a style
// the run reads, whatever name either goes by, nor over a file that holds no earlier picture of
// its kind (`--svg mine.style`, its file forgotten); only into a regular file or a new one; and
// whole or not at all: it is written beside its place as ".NAME.partial" and then renamed into
// it, so a failed write leaves the old picture as it was. Through a symbolic link it replaces the
// file the link names.
#pragma once

#include <string>
#include <vector>

namespace preview {

// A mended style (--fix) goes by the same rules but may replace any regular file that is no style
// of the run (Style, with --force), or goes only where no file is (NewStyle).
enum class PictureKind { Svg, Png, Style, NewStyle };

// Why no picture may be written to path, or "" when it may: "is the style "STYLE" this run
// reads" or "holds no SVG picture ..." (*slip set: a slip on the command line), "is a FIFO",
// "is a directory", ...
std::string pictureRefusal(const std::string& path, PictureKind kind,
                           const std::vector<std::string>& styles, bool* slip = nullptr);

// Where the picture for path is written before it is put in place.
std::string partialPictureOf(const std::string& path);

// Puts the picture written to partial in place at path, after looking at path again as
// pictureRefusal does; the partial file is removed when that fails. False, with the reason.
bool placePicture(const std::string& partial, const std::string& path, PictureKind kind,
                  const std::vector<std::string>& styles, std::string* reason);

// Writes content as the picture at path, by way of its partial file. False, with the reason.
bool writePicture(const std::string& path, PictureKind kind, const std::string& content,
                  const std::vector<std::string>& styles, std::string* reason);

} // namespace preview
