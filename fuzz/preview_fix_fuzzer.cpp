// Takes the input as a style and runs the preview on it with --fix: no crash, and the mended copy,
// read again, holds every value suggested and reads well wherever a suggestion said it would.
#include "fuzz/fuzz_input.h"
#include "stylefile/style_file.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/preview_run.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A folder of the run's own, removed when it ends (a plain array outlives every destructor).
    static char folder[] = "/tmp/preview-fix-fuzzer-XXXXXX";
    static const bool made =
        mkdtemp(folder) != nullptr && std::atexit([] { std::filesystem::remove_all(folder); }) == 0;
    if (!made) {
        fuzz::fail(std::string("cannot make a folder in /tmp: ") + std::strerror(errno));
    }
    preview::Options options;
    options.styles = {std::string(folder) + "/fuzzed.style"};
    options.fixPath = std::string(folder) + "/mended.style";
    options.force = true;
    std::ofstream(options.styles[0], std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::remove(options.fixPath.c_str());
    std::ostringstream out, err;
    preview::runPreview(options, {out, err, false});
    std::istringstream report(out.str());
    std::ifstream file(options.fixPath, std::ios::binary);
    const stylefile::StyleFile mended =
        stylefile::StyleFile::parse(std::string(std::istreambuf_iterator<char>(file), {}));
    std::set<int> promised; // the pairs a suggestion mends
    bool copy = false;
    int pair = -1;
    for (std::string line; std::getline(report, line);) {
        copy = copy || line.rfind("mended copy ", 0) == 0;
        for (int p = 0; p < preview::CONTRAST_PAIR_COUNT; ++p) {
            pair =
                line.rfind(std::string("    ") + preview::contrastPairs[p].what, 0) == 0 ? p : pair;
        }
        const std::size_t at = line.find("suggestion: ");
        if (copy && line.find("warning: below") != std::string::npos && promised.count(pair)) {
            fuzz::fail("the copy is still hard to read where a suggestion said: " + line);
        }
        std::istringstream words(at == std::string::npos ? ""
                                                         : line.substr(line.find(' ', at) + 1));
        std::string key, value;
        words >> key >> value;
        if (!copy && value.rfind('#', 0) == 0) {
            if (mended.find(key) != std::optional<std::string_view>(value)) {
                fuzz::fail("the copy lacks " + key + " " + value);
            }
            promised.insert(pair);
        }
    }
    return 0;
}
