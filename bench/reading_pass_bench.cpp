// How long one reading pass (readStyleColors + applySystemColors) takes in the stand-in host, for
// each sample style, against the same host and Windows calls made directly: the floor any pass
// has to pay; what lies above it is the plug-in's own work. And how fast the stand-in host parses
// a large style. Times are CPU time per operation, the median of five runs. Then the same pass
// counted in instructions under callgrind, which a busy machine does not move: the figure to
// compare from run to run.
//
//   tintlet_bench [SECONDS]   each timed run at least SECONDS long (default 0.5)
//
// A pass's calls are taken from the stand-in's record of calls, which is off while timing.
#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "host/marlwood.h"
#include "standin/host.h"
#include "stylefile/style_file.h"
#include "standin/call_record.h"

#include <valgrind/callgrind.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

volatile unsigned sink; // keeps the results of calls made only to be timed

void readingPass() {
    readStyleColors();
    applySystemColors();
}

// One call of a pass, enough to make it again: keys, defaults and fragments are the plug-in's
// string literals, so their pointers stay valid.
struct HostCall {
    enum Kind { StylePath, ReadString, ReadColor, IsInString, GetSysColor, SetSysColors } kind;
    const char* second; // the key, or the fragment
    const char* third;  // the default
};

// The recorded calls made again, straight to the host functions and to Windows: the pass
// without the plug-in's own work (no copies, no choices).
void hostCallsAlone(const std::vector<HostCall>& calls) {
    const char* path = nullptr;
    const char* text = nullptr;
    static const COLORREF values[MANAGED_COLOR_COUNT] = {};
    for (const HostCall& call : calls) {
        switch (call.kind) {
        case HostCall::StylePath:
            path = stylePath(nullptr);
            break;
        case HostCall::ReadString:
            text = ReadString(path, call.second, call.third);
            break;
        case HostCall::ReadColor:
            sink = sink + ReadColor(path, call.second, call.third);
            break;
        case HostCall::IsInString:
            sink = sink + IsInString(text, call.second);
            break;
        case HostCall::GetSysColor:
            sink = sink + GetSysColor(COLOR_WINDOW);
            break;
        case HostCall::SetSysColors:
            SetSysColors(MANAGED_COLOR_COUNT, managedColorIndices, values);
            break;
        }
    }
}

// CPU nanoseconds per operation: the median of five runs of at least `seconds` each.
template <typename Operation> double nanoseconds(double seconds, Operation operation) {
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        double timed = 0;
        long count = 0;
        while (timed < seconds) {
            const std::clock_t start = std::clock(); // the process's CPU time
            for (int i = 0; i < 64; ++i) {
                operation();
            }
            timed += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
            count += 64;
        }
        runs.push_back(timed * 1e9 / static_cast<double>(count));
    }
    std::sort(runs.begin(), runs.end());
    return runs[2];
}

// A style of `lines` lines as a style author writes them: colours, textures and numbers under
// many keys, with comments and blank lines.
std::string generatedStyle(int lines) {
    static const char* const elements[] = {"window.title", "window.label", "menu.title",
                                           "menu.frame",   "menu.hilite",  "toolbar"};
    static const char* const textures[] = {"Raised Gradient Vertical Bevel1", "Flat Solid",
                                           "ParentRelative"};
    std::string text;
    char line[160];
    for (int i = 0; i < lines; ++i) {
        const char* element = elements[i % 6];
        const int group = i / 6;
        if (i % 20 == 0) {
            std::snprintf(line, sizeof line, "! section %d: %s\n", group, element);
        } else if (i % 20 == 7) {
            std::snprintf(line, sizeof line, "\n");
        } else if (i % 20 == 11) {
            std::snprintf(line, sizeof line, "%s.%d:    %s\n", element, group, textures[i % 3]);
        } else {
            std::snprintf(line, sizeof line, "%s.%d.color%d:  #%06x\n", element, group, i % 20,
                          (i * 2654435761u) & 0xFFFFFF);
        }
        text += line;
    }
    return text;
}

void row(const std::string& run, double figure, const std::string& note) {
    std::printf("%-34s %12.1f%s%s\n", run.c_str(), figure, note.empty() ? "" : "  ", note.c_str());
}

std::vector<std::filesystem::path> sampleStyles() {
    std::vector<std::filesystem::path> styles;
    for (const auto& entry : std::filesystem::directory_iterator(TINTLET_SAMPLE_STYLES)) {
        if (entry.path().extension() == ".style") {
            styles.push_back(entry.path());
        }
    }
    std::sort(styles.begin(), styles.end());
    return styles;
}

// Makes a sample style current and takes the calls of one pass over it from the record.
std::vector<HostCall> passCalls(const std::filesystem::path& path) {
    std::string error;
    if (!standin::loadStyle(path.string(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    standin::recordCalls(true);
    readingPass();
    standin::recordCalls(false);
    std::vector<HostCall> calls;
    const std::map<std::string, HostCall::Kind> kinds = {
        {"stylePath", HostCall::StylePath},     {"ReadString", HostCall::ReadString},
        {"ReadColor", HostCall::ReadColor},     {"IsInString", HostCall::IsInString},
        {"GetSysColor", HostCall::GetSysColor}, {"SetSysColors", HostCall::SetSysColors}};
    for (const standin::Call& call : standin::takeCalls()) {
        const auto argument = [&](std::size_t i) {
            return i < call.arguments.size() ? reinterpret_cast<const char*>(call.arguments[i])
                                             : nullptr;
        };
        calls.push_back({kinds.at(call.function), argument(1), argument(2)});
    }
    return calls;
}

// Instructions are counted over this many passes of each kind, after one untimed pass.
constexpr int COUNTED_PASSES = 100;

// Under callgrind, with collection off at the start: counts `operation` over COUNTED_PASSES
// and has callgrind write the count out under `name`.
template <typename Operation> void countInstructions(const char* name, Operation operation) {
    operation();
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    for (int i = 0; i < COUNTED_PASSES; ++i) {
        operation();
    }
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(name);
}

int countedRun() {
    for (const auto& path : sampleStyles()) {
        const std::vector<HostCall> calls = passCalls(path);
        const std::string name = path.stem().string();
        countInstructions(("pass " + name).c_str(), readingPass);
        countInstructions(("alone " + name).c_str(), [&] { hostCallsAlone(calls); });
    }
    return 0;
}

// Runs this program again under callgrind and reads the counts it wrote, by name; false, with
// the reason on standard error, when that could not be done.
bool countUnderCallgrind(std::map<std::string, double>* counts) {
    char folder[] = "/tmp/tintlet-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::fprintf(stderr, "tintlet_bench: cannot make a folder in /tmp: %s\n",
                     std::strerror(errno));
        return false;
    }
    const std::string out = std::string(folder) + "/counts";
    const std::string outOption = "--callgrind-out-file=" + out;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const char* arguments[] = {
        "valgrind",        "-q",         "--tool=callgrind", "--collect-atstart=no",
        outOption.c_str(), self.c_str(), "--count",          nullptr};
    pid_t child = 0;
    int status = -1;
    const int spawned = posix_spawnp(&child, "valgrind", nullptr, nullptr,
                                     const_cast<char* const*>(arguments), environ);
    if (spawned == 0) {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (int dump = 1;; ++dump) {
        std::ifstream file(out + "." + std::to_string(dump));
        if (!file) {
            break;
        }
        std::string line, name;
        while (std::getline(file, line)) {
            if (line.rfind("desc: Trigger: Client Request: ", 0) == 0) {
                name = line.substr(31);
            } else if (line.rfind("totals: ", 0) == 0) {
                (*counts)[name] = std::atof(line.c_str() + 8) / COUNTED_PASSES;
            }
        }
    }
    std::filesystem::remove_all(folder);
    if (spawned != 0) {
        std::fprintf(stderr, "tintlet_bench: cannot run valgrind for the instruction counts: %s\n",
                     std::strerror(spawned));
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || counts->empty()) {
        std::fprintf(stderr, "tintlet_bench: the counting run under valgrind failed\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--count") == 0) {
        return countedRun();
    }
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.5;
    if (argc > 2 || seconds <= 0 || seconds > 60) {
        std::fprintf(stderr, "usage: tintlet_bench [SECONDS]  (each run, above 0 and up to 60)\n");
        return 2;
    }
    const std::vector<std::filesystem::path> styles = sampleStyles();

    char note[96];
    std::printf("%-34s %12s\n", "run", "CPU ns/op");
    for (const auto& path : styles) {
        const std::vector<HostCall> calls = passCalls(path);
        const std::string name = path.stem().string();
        const double pass = nanoseconds(seconds, readingPass);
        const double alone = nanoseconds(seconds, [&] { hostCallsAlone(calls); });
        std::snprintf(note, sizeof note, "%.2f x its host calls alone", pass / alone);
        row("reading pass, " + name, pass, note);
        std::snprintf(note, sizeof note, "%zu calls to the host and Windows", calls.size());
        // A difference of two timings is mostly noise; the instruction counts below give it.
        row("  its calls made directly", alone, note);
    }

    constexpr int LINES = 10000;
    const std::string text = generatedStyle(LINES);
    const double parse = nanoseconds(seconds, [&] {
        sink = sink + static_cast<unsigned>(stylefile::StyleFile::parse(text).size());
    });
    std::snprintf(note, sizeof note, "%zu bytes, %.1f MB/s", text.size(),
                  text.size() * 1e3 / parse);
    row("style parsing, " + std::to_string(LINES) + " lines", parse, note);

    std::map<std::string, double> counts;
    if (!countUnderCallgrind(&counts)) {
        return 1;
    }
    std::printf("\n%-34s %12s  (callgrind, %d passes each)\n", "run", "instructions",
                COUNTED_PASSES);
    for (const auto& path : styles) {
        const std::string name = path.stem().string();
        const double pass = counts["pass " + name];
        const double alone = counts["alone " + name];
        std::snprintf(note, sizeof note, "%.3f x its host calls alone", pass / alone);
        row("reading pass, " + name, pass, note);
        row("  its calls made directly", alone, "");
        row("  the plug-in's own work", pass - alone, "");
    }
    return 0;
}
