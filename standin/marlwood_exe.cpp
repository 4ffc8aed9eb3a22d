// Marlwood.exe: the stand-in host as a Windows program. It exports the five host functions, so
// Tintlet.dll binds to it, and runs the plug-in over the styles on its command line: starts it
// with the first, changes to each further style in turn and stops it, printing the window colour
// and the ten colours after every step. Built natively, with the plug-in linked in, the same
// program is tintlet-expected-colors: what Marlwood.exe must print under Wine. With "show" it
// opens a scene that Windows draws in those colours (standin/scene.h).
//
//   Marlwood.exe STYLE...
//   Marlwood.exe show [--window #rrggbb] STYLE...
#include "standin/scene.h"
#include "standin/session.h"

#include <cstring>

int main(int argc, char** argv) {
    const bool show = argc > 1 && std::strcmp(argv[1], "show") == 0;
    if (argc < (show ? 3 : 2)) {
        std::fprintf(stderr, "usage: %s STYLE...\n       %s show [--window #rrggbb] STYLE...\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::vector<std::string> styles(argv + (show ? 2 : 1), argv + argc);
    return show ? standin::showScene(styles) : standin::runStyles(styles, stdout, stderr);
}
