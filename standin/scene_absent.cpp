// Off Windows there is nothing to draw the scene: Windows' own drawing is the point of it.
#include "standin/scene.h"

#include <cstdio>

namespace standin {

int showScene(std::vector<std::string>) {
    std::fprintf(stderr, "show: the scene is drawn by Windows; run Marlwood.exe under Wine "
                         "(tintlet-preview --screenshot does)\n");
    return 2;
}

} // namespace standin
