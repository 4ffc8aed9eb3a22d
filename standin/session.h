// A host session as the host runs one: the plug-in loaded and started on a style, told of each
// style change, stopped and unloaded; and the ten colours it leaves, printed.
#pragma once

#include "standin/plugin_module.h"
#include "stylefile/style_file.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace standin {

using StyleProblems = stylefile::StyleProblems;

// How one step of a run went: the start, or a style change.
struct Step {
    bool start; // the plug-in was started; else it was told of a style change
    int result; // beginPlugin's result (0 running) for a start, the windows reached for a change
};

class Session {
  public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // Stops a plug-in still running, unloads it, and destroys the main window if it made it.
    ~Session();

    // Makes the style at stylePath current (its bad lines go to problems), then load(error).
    bool load(const std::string& stylePath, std::string* error, StyleProblems* problems = nullptr);
    // Creates the host's main window unless there is one and loads the plug-in. False, with
    // error when given, when either fails.
    bool load(std::string* error);
    // Starts the loaded plug-in: beginPlugin's result, 0 running, 1 failed to start.
    int start();

    // Makes the style at stylePath current and tells the plug-in: the windows the style change
    // reached, or -1, with error, when the style cannot be read (the last one stays current).
    int change(const std::string& stylePath, std::string* error, StyleProblems* problems = nullptr);
    // Tells the plug-in of a change to the style already current.
    int change();

    // Stops it: endPlugin's result, nonzero when the plug-in removed its window class.
    int stop();

    // One step on the style now current: starts the plug-in when it is not running, else tells
    // it of a style change.
    Step step();

    // Whether the plug-in is running: started, and not stopped since.
    bool running() const { return running_; }

    // The loaded plug-in's module handle, null before load.
    HINSTANCE module() const { return plugin_.instance; }

  private:
    PluginModule plugin_;
    bool running_ = false;
    bool madeMainWindow_ = false;
};

// "window colour #rrggbb": the colour the plug-in chooses the highlight against.
std::string windowColorLine(COLORREF windowColor);
// That line for the window colour Windows now holds.
void printWindowColor(std::FILE* out);

// "style NAME", then the ten managed colours Windows now holds as "NAME INDEX #rrggbb".
void printManagedColors(std::FILE* out, const std::string& style);

// Runs the plug-in over the style files and stops it, printing the window colour first and the
// ten colours after every step. The exit status: 0;
// 1 when the plug-in did not start or stop cleanly; 2 when a style or the plug-in could not be
// read; every failure with one line on err.
int runStyles(const std::vector<std::string>& styles, std::FILE* out, std::FILE* err);

} // namespace standin
