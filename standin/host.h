// The stand-in host: a current style, the five exported functions (declared in host/marlwood.h,
// defined in host_functions.cpp), and a main window that keeps the plug-in's subscriptions.
// The same sources build on Linux, over the Win32 stand-in, and on Windows as Marlwood.exe.
#pragma once

#include "stylefile/style_file.h"

#include <windows.h>

#include <functional>
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

// One ReadString or ReadColor as the host answered it.
struct Lookup {
    std::string path;
    std::string key;
    std::string defaultText; // "(null)" for a null default
    bool color;              // ReadColor, else ReadString
    bool found;              // the style named by path has the key
    bool usable;             // found, and for a colour the value is one
    COLORREF result;         // what ReadColor returned
};

// Lookups are recorded from here on (off at first: a soak makes millions).
void recordLookups(bool on);
// The lookups recorded since the last call, which empties the record.
std::vector<Lookup> takeLookups();
bool recordingLookups();
void recordLookup(Lookup lookup);

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

// Receives one line per host function call: name, arguments and result. Empty: no trace.
void setTrace(std::function<void(const std::string& line)> trace);
// Whether a trace is set, and handing it one line (the host functions' own reporting).
bool tracing();
void traceCall(const std::string& line);

} // namespace standin
