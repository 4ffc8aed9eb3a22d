#include "tools/preview/preview_options.h"

#include "stylefile/color_text.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <getopt.h>
#include <utility>

namespace preview {

std::string usage() {
    return R"(usage: tintlet-preview [options] [STYLE...]

Runs the Tintlet plug-in in the stand-in host: starts it with the first style, changes to
each further style in turn, then stops it. After the start and after each change it prints
the ten system colours the plug-in applied, and the contrast of each text on its
background. Without a style it uses the bundled sample style.

options:
  --trace       print every host call with its arguments and result
  --svg FILE    draw the title bars, a selected row and a tooltip of the last style
  --screenshot FILE.png
                a screenshot per style of what Windows itself draws in the colours
                (classic look, under Wine; several styles: FILE-1-NAME.png, ...)
  --watch       keep running; re-apply the last style whenever its file changes
                (Ctrl+C stops)
  --window #rrggbb|#rgb
                the window background the highlight is seen on (default )" +
           stylefile::colorText(Options().window) + R"()
  --strict      exit with status 3 when any warning was printed
  --fix OUT.style
                write a copy of the style with the suggested colours in it and show
                its report (status 3 when a contrast warning remains); the file must
                not exist yet
  --force       let --fix replace a file that exists (never a style of the run)
  --keys        list the style keys the plug-in reads, with their defaults
  --version     show the version
  --help        show this help
)";
}

namespace {

enum Option {
    HELP = 'h',
    TRACE = 256,
    WATCH,
    STRICT,
    WINDOW,
    SCREENSHOT,
    SVG,
    WATCH_LIMIT,
    VERSION,
    KEYS,
    FIX,
    FORCE
};

const option longOptions[] = {
    {"help", no_argument, nullptr, HELP},
    {"trace", no_argument, nullptr, TRACE},
    {"watch", no_argument, nullptr, WATCH},
    {"strict", no_argument, nullptr, STRICT},
    {"window", required_argument, nullptr, WINDOW},
    {"screenshot", required_argument, nullptr, SCREENSHOT},
    {"svg", required_argument, nullptr, SVG},
    {"watch-limit", required_argument, nullptr, WATCH_LIMIT}, // for tests: stop after N changes
    {"version", no_argument, nullptr, VERSION},
    {"keys", no_argument, nullptr, KEYS},
    {"fix", required_argument, nullptr, FIX},
    {"force", no_argument, nullptr, FORCE},
    {nullptr, 0, nullptr, 0},
};

// Options that set a flag, and those whose argument is a path, by their value.
const std::pair<int, bool Options::*> flags[] = {
    {HELP, &Options::help},   {VERSION, &Options::version}, {KEYS, &Options::keys},
    {TRACE, &Options::trace}, {WATCH, &Options::watch},     {STRICT, &Options::strict},
    {FORCE, &Options::force},
};
const std::pair<int, std::string Options::*> paths[] = {
    {SCREENSHOT, &Options::screenshotPath}, {SVG, &Options::svgPath}, {FIX, &Options::fixPath}};

std::string nameOf(int option) {
    const auto end = std::end(longOptions) - 1; // before the terminating entry
    const auto known = std::find_if(std::begin(longOptions), end,
                                    [&](const ::option& o) { return o.val == option; });
    return known != end ? std::string("--") + known->name : "-" + std::string(1, char(option));
}

} // namespace

bool parseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
    optind = 0; // from the start, every time
    opterr = 0;
    auto* arguments = const_cast<char* const*>(argv);
    for (int option; (option = getopt_long(argc, arguments, ":h", longOptions, nullptr)) != -1;) {
        const std::string value = optarg != nullptr ? optarg : "";
        if (option == '?') {
            *error = std::string("unknown option '") + argv[optind - 1] + "' (see --help)";
            return false;
        }
        if (option == ':' || (optarg != nullptr && value.empty())) {
            *error = "option " + nameOf(option == ':' ? optopt : option) + " needs an argument";
            return false;
        }
        // A forgotten argument, not a file name.
        if (optarg != nullptr && value[0] == '-') {
            *error = "option " + nameOf(option) + " needs an argument, not '" + value + "'";
            return false;
        }
        for (const auto& [known, flag] : flags) {
            options->*flag = options->*flag || option == known;
        }
        for (const auto& [known, path] : paths) {
            options->*path = option == known ? value : options->*path;
        }
        if (option == WINDOW && !stylefile::parseColor(value, options->window)) {
            *error = "option --window needs a colour #rrggbb or #rgb, not '" + value + "'";
            return false;
        }
        options->windowGiven = options->windowGiven || option == WINDOW;
        if (option == WATCH_LIMIT) {
            char* end = nullptr;
            const long limit = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || limit < 1 || limit > 1000000) {
                *error = "option --watch-limit needs a positive number, not '" + value + "'";
                return false;
            }
            options->watchLimit = static_cast<int>(limit);
            options->watch = true;
        }
    }
    options->styles.assign(argv + optind, argv + argc);
    if (options->watch && !options->screenshotPath.empty()) {
        *error = "--screenshot and --watch do not go together: each screenshot run starts Wine";
        return false;
    }
    if (!options->fixPath.empty() &&
        (options->watch || options->styles.size() != 1 || !options->screenshotPath.empty())) {
        *error = "--fix mends one style, once: give one style, without --watch or --screenshot";
        return false;
    }
    return true;
}

} // namespace preview
