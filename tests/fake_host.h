// A recording fake of the host's five functions: a style is a map of keys to texts, and every
// call is kept with its arguments and result, in order.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fake_host {

struct Call {
    std::string function;
    const char* pathPointer; // ReadString and ReadColor: the path argument as passed
    const char* textPointer; // IsInString: the text argument as passed
    std::string path;
    std::string text;     // the key, or for IsInString the text
    std::string argument; // the default, or for IsInString the fragment
    std::string result;
    std::string describe() const; // e.g. ReadColor(menu.hilite.color:, #0a246a) = #ff0000
};

using Style = std::map<std::string, std::string>;

// Forgets the calls, the style and every oddity; the path becomes "/styles/test.style".
void reset();
void setStyle(const Style& style);
// What stylePath returns; nullopt makes it return a null pointer.
void setStylePath(std::optional<std::string> path);
// Makes ReadString answer with a null pointer.
void setNullTexts(bool nullTexts);
// The byte IsInString answers when the fragment is found (1 unless set); not found is always 0.
// On x86-64 the answer also carries noise in the return register above that byte, as the
// calling convention leaves those bits to the callee for a one-byte result.
void setFoundByte(unsigned char byte);
void setHostWindow(HWND window);

const std::vector<Call>& calls();
// The calls' descriptions, leaving out stylePath and GetMWWnd.
std::vector<std::string> lookups();

// A colour text "#rrggbb" as a COLORREF (black when it is none).
COLORREF colorOf(const std::string& text);

} // namespace fake_host
