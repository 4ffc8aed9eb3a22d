// The scene Marlwood.exe shows for screenshots: windows, selections and a tooltip that Windows
// itself draws with the system colours the plug-in applied.
//
//   Marlwood.exe show [--window #rrggbb] STYLE...
//
// Sets the window colour when one is given, starts the plug-in on the first style and opens the
// scene; for each further style it changes the
// host's style as Marlwood does and repaints. After each style is painted it writes to standard
// output what a picture of the screen must show, then a line "painted STYLE", and waits for a line
// on standard input: "next" goes on to the next style, anything else (or the end of the input)
// stops the plug-in and ends. The lines before "painted", in screen coordinates:
//
//   point NAME X Y                  the pixel at X, Y has system colour NAME
//   within NAME LEFT TOP RIGHT BOTTOM  some pixels of the box, those of a text, have colour NAME
#pragma once

#include <string>
#include <vector>

namespace standin {

// The desktop the scene is laid out in; under Wine a virtual desktop of this size, on a screen of
// the same size, so screen and desktop coordinates agree.
constexpr int SCENE_WIDTH = 720;
constexpr int SCENE_HEIGHT = 400;

// The exit status: 0; 1 when the plug-in did not start or stop cleanly or the scene could not be
// made; 2 when a style or the plug-in could not be read.
int showScene(std::vector<std::string> arguments);

} // namespace standin
