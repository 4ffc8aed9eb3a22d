// The colours the same plug-in gives natively, on the Win32 stand-in, for a run of styles: start
// with the first, one style change per further style. Marlwood.exe under Wine must print the same.
//
//   tintlet-expected-colors STYLE...
#include "standin/session.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tintlet-expected-colors STYLE...\n");
        return 2;
    }
    return standin::runStyles(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
