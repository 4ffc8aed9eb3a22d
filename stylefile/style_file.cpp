#include "stylefile/style_file.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace stylefile {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

} // namespace

StyleFile StyleFile::parse(std::string_view text, std::vector<StyleProblem>* problems) {
    StyleFile style;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        if (line.empty() || line.front() == '!' || line.front() == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        std::string_view name =
            colon == std::string_view::npos ? line : trim(line.substr(0, colon));
        if (colon == std::string_view::npos || name.empty()) {
            if (problems != nullptr) {
                problems->push_back({number, colon == std::string_view::npos
                                                 ? "not a \"key: value\" line, skipped"
                                                 : "no key before the colon, skipped"});
            }
            continue;
        }
        // Keys keep their colon, as the plug-in asks for them ("menu.hilite.color:").
        std::string key = lowerCase(name);
        key += ':';
        style.values_[std::move(key)] = std::string(trim(line.substr(colon + 1)));
    }
    return style;
}

const std::string* StyleFile::find(std::string_view key) const {
    auto it = values_.find(lowerCase(key));
    return it == values_.end() ? nullptr : &it->second;
}

bool readStyleFile(const std::string& path, StyleFile* style, std::string* error,
                   std::vector<StyleProblem>* problems) {
    auto fail = [&](const char* what) {
        if (error != nullptr) {
            *error = "cannot read style \"" + path + "\": " + what;
        }
        return false;
    };
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        return fail("no such file");
    }
    if (std::filesystem::is_directory(path, code)) {
        return fail("is a directory");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fail(std::strerror(errno));
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        return fail("read error");
    }
    *style = StyleFile::parse(text.str(), problems);
    return true;
}

} // namespace stylefile
