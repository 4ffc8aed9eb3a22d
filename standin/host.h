// The stand-in host: a current style, the five exported functions (declared in host/marlwood.h,
// defined in host_functions.cpp, each call recorded in standin/call_record.h), and a main window
// that keeps the plug-in's subscriptions.
// The same sources build on Linux, over the Win32 stand-in, and on Windows as Marlwood.exe.
#pragma once

#include "stylefile/style_file.h"

#include <windows.h>

#include <string_view>
#include <string>
#include <vector>

namespace standin {

// Reads and parses a style file and makes it the current style; stylePath then returns path.
// On failure (missing or unreadable file) returns false, error names the path, and the
// current style is unchanged. Bad lines are reported in problems, never fatal.
bool loadStyle(const std::string& path, std::string* error,
               stylefile::StyleProblems* problems = nullptr);

// Makes already parsed text the current style under a given path (for tests and fuzzing).
void setStyle(const std::string& path, std::string_view text,
              stylefile::StyleProblems* problems = nullptr);
// Makes a style already read the current one under its path.
void setStyle(const std::string& path, stylefile::StyleFile style);

const std::string& currentStylePath();
const stylefile::StyleFile& currentStyle();

// The style a lookup's path names: the current style under its own path, any other file as
// read on first asking (until the current style changes), and for a path that names no
// readable style file, such as the empty one, null: every lookup then gives its default.
const stylefile::StyleFile* styleAt(const char* path);

// How the host answers where hosts differ, for tests: stylePath may give a null pointer,
// ReadString null texts, and IsInString any nonzero byte for found (the Linux build answers
// foundByte, with noise above it in the return register; Marlwood.exe varies the byte itself).
struct Answers {
    bool nullPath = false;
    bool nullTexts = false;
    unsigned char foundByte = 1;
};
void answerWith(const Answers& answers);
const Answers& answers();

// Creates the host's main window (what GetMWWnd returns), which accepts HOST_SUBSCRIBE and
// HOST_UNSUBSCRIBE. Returns null on failure.
HWND createMainWindow(HINSTANCE instance);
void destroyMainWindow();
HWND mainWindow();

// Windows subscribed to HOST_STYLECHANGED, in subscription order.
std::vector<HWND> styleChangeSubscribers();

// Sends HOST_STYLECHANGED to every subscribed window; returns how many received it.
int broadcastStyleChanged();

// Whether fragment occurs within text, in any case: what IsInString answers.
bool textContains(const char* text, const char* fragment);

} // namespace standin
