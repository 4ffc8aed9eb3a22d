// Reading the host's current style into the system colour set.
#pragma once

// Fills all ten fields of systemColors from the current style.
void readStyleColors();
