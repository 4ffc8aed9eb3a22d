// How long one reading pass (readStyleColors + applySystemColors) takes with the stand-in host
// holding a parsed style, against the floor of making the same host and Windows calls directly;
// how much the pass allocates; and how fast the stand-in host parses a large style.
//
// Both the pass and the floor run over the Linux stand-ins, whose GetSysColor and SetSysColors
// log every call (SetSysColors allocates for its record), and whose host functions build a
// lower-case copy of every key. That cost is in both figures alike; the stub rows show the
// plug-in alone.

#include "bench/allocation_counter.h"
#include "bench/host_calls.h"
#include "colors/style_reading.h"
#include "colors/system_color_set.h"
#include "host/marlwood.h"
#include "standin/host.h"
#include "stylefile/style_file.h"
#include "win32/win32_standin.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The stand-in's logs grow with every call; they are emptied now and then, outside the timing.
constexpr int PASSES_BETWEEN_RESETS = 4096;
constexpr int COUNTED_PASSES = 1000;
constexpr int GENERATED_STYLE_LINES = 10000;

void readingPass() {
    readStyleColors();
    applySystemColors();
}

void loadSample(const std::string& path) {
    std::string error;
    if (!standin::loadStyle(path, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    win32_standin::reset();
}

// Makes the recorded calls again, straight to the host functions and Windows: the pass without
// the plug-in's own work (no copies, no choices).
void replay(const std::vector<bench::HostCall>& calls) {
    const char* path = nullptr;
    const char* text = nullptr;
    for (const bench::HostCall& call : calls) {
        switch (call.kind) {
        case bench::CallKind::StylePath:
            path = stylePath(nullptr);
            break;
        case bench::CallKind::ReadString:
            text = ReadString(path, call.key, call.text);
            break;
        case bench::CallKind::ReadColor:
            benchmark::DoNotOptimize(ReadColor(path, call.key, call.text));
            break;
        case bench::CallKind::IsInString:
            benchmark::DoNotOptimize(IsInString(text, call.text));
            break;
        case bench::CallKind::GetSysColor:
            benchmark::DoNotOptimize(GetSysColor(call.index));
            break;
        case bench::CallKind::SetSysColors:
            SetSysColors(call.index, call.indices, call.values);
            break;
        }
    }
}

std::vector<bench::HostCall> recordPass() {
    bench::clearRecordedCalls();
    bench::setHostMode(bench::HostMode::Recording);
    readingPass();
    bench::setHostMode(bench::HostMode::Standin);
    return bench::recordedCalls();
}

template <typename Pass> void timePasses(benchmark::State& state, Pass pass) {
    int sinceReset = 0;
    for (auto _ : state) {
        pass();
        if (++sinceReset == PASSES_BETWEEN_RESETS) {
            state.PauseTiming();
            win32_standin::reset();
            sinceReset = 0;
            state.ResumeTiming();
        }
    }
}

void benchReadingPass(benchmark::State& state, const std::string& path) {
    loadSample(path);
    bench::setHostMode(bench::HostMode::Standin);
    timePasses(state, readingPass);
}

void benchHostCallsFloor(benchmark::State& state, const std::string& path) {
    loadSample(path);
    const std::vector<bench::HostCall> calls = recordPass();
    win32_standin::reset();
    state.counters["calls"] = static_cast<double>(calls.size());
    timePasses(state, [&] { replay(calls); });
}

void benchReadingPassStub(benchmark::State& state) {
    bench::setHostMode(bench::HostMode::Stub);
    for (auto _ : state) {
        readingPass();
    }
    bench::setHostMode(bench::HostMode::Standin);
}

// A style of `lines` lines as a style author writes them: colours, textures and numbers under
// many keys, with comments, blank lines and the odd key set twice.
std::string generatedStyle(int lines) {
    static const char* const elements[] = {"window.title", "window.label", "window.button",
                                           "menu.title",   "menu.frame",   "menu.hilite",
                                           "toolbar",      "slit",         "handle"};
    static const char* const states[] = {"focus", "unfocus", "pressed"};
    static const char* const textures[] = {"Raised Gradient Vertical Bevel1", "Flat Solid",
                                           "ParentRelative", "Sunken Gradient Diagonal Interlaced"};
    std::string text;
    char line[160];
    for (int i = 0; i < lines; ++i) {
        const char* element = elements[i % 9];
        const char* state = states[(i / 9) % 3];
        const int group = i / 27;
        switch (i % 20) {
        case 0:
            std::snprintf(line, sizeof line, "! section %d: %s\n", group, element);
            break;
        case 7:
            std::snprintf(line, sizeof line, "\n");
            break;
        case 11:
            std::snprintf(line, sizeof line, "%s.%s.%d:    %s\n", element, state, group,
                          textures[i % 4]);
            break;
        case 15:
            std::snprintf(line, sizeof line, "%s.%s.%d.width: %d\n", element, state, group, i % 7);
            break;
        default:
            std::snprintf(line, sizeof line, "%s.%s.%d.color%d:  #%06x\n", element, state, group,
                          i % 20, (i * 2654435761u) & 0xFFFFFF);
            break;
        }
        text += line;
    }
    return text;
}

void benchStyleParsing(benchmark::State& state) {
    const std::string text = generatedStyle(GENERATED_STYLE_LINES);
    for (auto _ : state) {
        stylefile::StyleFile style = stylefile::StyleFile::parse(text);
        benchmark::DoNotOptimize(style.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

struct Allocations {
    double plugin = 0, host = 0, windows = 0, stub = 0;
};

// Allocations per pass, averaged over many passes: against the stand-ins (all of them, and what
// the host functions and the Win32 stand-in made inside their calls), and against the stub.
Allocations countAllocations(const std::string& path) {
    loadSample(path);
    Allocations counted;
    const std::size_t hostBefore = bench::hostAllocations();
    const std::size_t windowsBefore = bench::windowsAllocations();
    bench::setHostMode(bench::HostMode::Counting);
    std::size_t before = bench::allocationCount();
    for (int i = 0; i < COUNTED_PASSES; ++i) {
        readingPass();
    }
    const std::size_t total = bench::allocationCount() - before;
    const std::size_t host = bench::hostAllocations() - hostBefore;
    const std::size_t windows = bench::windowsAllocations() - windowsBefore;
    counted.plugin = double(total - host - windows) / COUNTED_PASSES;
    counted.host = double(host) / COUNTED_PASSES;
    counted.windows = double(windows) / COUNTED_PASSES;

    bench::setHostMode(bench::HostMode::Stub);
    before = bench::allocationCount();
    for (int i = 0; i < COUNTED_PASSES; ++i) {
        readingPass();
    }
    counted.stub = double(bench::allocationCount() - before) / COUNTED_PASSES;
    bench::setHostMode(bench::HostMode::Standin);
    win32_standin::reset();
    return counted;
}

// Keeps each run's CPU time per iteration and counters for the summary. CPU time, not wall
// time: the figures should not depend on what else the machine is doing.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    struct Result {
        double nanoseconds;
        std::map<std::string, double> counters;
    };
    std::map<std::string, Result> results;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark; without, the one run.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && !median) {
                continue;
            }
            if (!median && medians.count(name) != 0) {
                continue;
            }
            Result result{run.GetAdjustedCPUTime() * multiplier(run.time_unit), {}};
            for (const auto& [counterName, counter] : run.counters) {
                result.counters[counterName] = counter.value;
            }
            results[name] = result;
            if (median) {
                medians.insert(name);
            }
        }
    }

  private:
    std::set<std::string> medians;

    static double multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kSecond:
            return 1e9;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kMicrosecond:
            return 1e3;
        default:
            return 1;
        }
    }
};

std::vector<std::string> sampleStyles() {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(TINTLET_SAMPLE_STYLES)) {
        if (entry.path().extension() == ".style") {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> styles = sampleStyles();
    if (styles.empty()) {
        std::fprintf(stderr, "no sample styles in %s\n", TINTLET_SAMPLE_STYLES);
        return 1;
    }
    for (const std::string& path : styles) {
        const std::string name = std::filesystem::path(path).stem().string();
        benchmark::RegisterBenchmark(("reading_pass/" + name).c_str(), benchReadingPass, path);
        benchmark::RegisterBenchmark(("host_calls_floor/" + name).c_str(), benchHostCallsFloor,
                                     path);
    }
    benchmark::RegisterBenchmark("reading_pass/stub_host", benchReadingPassStub);
    benchmark::RegisterBenchmark("style_parsing/10000_lines", benchStyleParsing)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool pluginAllocated = false;
    const auto& results = reporter.results;
    auto timeOf = [&](const std::string& name) {
        auto it = results.find(name);
        return it == results.end() ? 0.0 : it->second.nanoseconds;
    };
    std::printf("\n%-16s %10s %10s %7s %6s | %-30s\n", "CPU time", "pass", "floor", "", "calls",
                "heap allocations per pass");
    std::printf("%-16s %10s %10s %7s %6s | %7s %7s %7s %7s\n", "style", "ns", "ns", "ratio",
                "/pass", "plug-in", "host", "Win32", "stub");
    for (const std::string& path : styles) {
        const std::string name = std::filesystem::path(path).stem().string();
        const double pass = timeOf("reading_pass/" + name);
        const double floor = timeOf("host_calls_floor/" + name);
        if (pass == 0 || floor == 0) {
            continue; // filtered out
        }
        const auto& floorCounters = results.at("host_calls_floor/" + name).counters;
        const Allocations counted = countAllocations(path);
        pluginAllocated = pluginAllocated || counted.plugin != 0 || counted.stub != 0;
        std::printf("%-16s %10.1f %10.1f %7.2f %6.0f | %7.2f %7.2f %7.2f %7.2f\n", name.c_str(),
                    pass, floor, pass / floor, floorCounters.at("calls"), counted.plugin,
                    counted.host, counted.windows, counted.stub);
    }
    if (const double stub = timeOf("reading_pass/stub_host"); stub != 0) {
        std::printf("%-16s %10.1f   (the plug-in's own work: a host that answers at once)\n",
                    "stub host", stub);
    }
    if (auto it = results.find("style_parsing/10000_lines"); it != results.end()) {
        const double bytes = it->second.counters.at("bytes");
        std::printf("\nstyle parsing: %d lines, %.0f bytes, %.2f ms, %.1f MB/s\n",
                    GENERATED_STYLE_LINES, bytes, it->second.nanoseconds / 1e6,
                    bytes / (it->second.nanoseconds / 1e9) / 1e6);
    }
    if (pluginAllocated) {
        std::fprintf(stderr, "the reading pass allocated on the heap\n");
        return 1;
    }
    return 0;
}
