// Choosing the selection highlight from the style's menu colours.
#pragma once

// Fills systemColors.highlight and highlightText; step four of a reading pass.
void chooseMenuHighlight();

// Whether the style defines key: its text, read with the default "doesnotexist", lacks that word.
bool styleKeyDefined(const char* key);
