// Marlwood.exe: the stand-in host as a Windows program. It exports the five host functions, so
// Tintlet.dll binds to it, and runs the plug-in over the styles on its command line: starts it
// with the first, changes to each further style in turn and stops it, printing the window colour
// and the ten colours after every step. Built natively, with the plug-in linked in, the same
// program is tintlet-expected-colors: what Marlwood.exe must print under Wine.
//
//   Marlwood.exe STYLE...
#include "standin/session.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s STYLE...\n", argv[0]);
        return 2;
    }
    return standin::runStyles(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
