#include "tools/preview/preview_options.h"

#include "stylefile/color_text.h"

#include <cstdlib>
#include <getopt.h>

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

// The long options, each with the flag it sets or the path it takes; getopt_long gives an option's
// place here.
struct Known {
    const char* name;
    bool Options::*flag;
    std::string Options::*path;
};
// --watch-limit is for tests: it stops the watch after that many changes.
const Known known[] = {
    {"help", &Options::help, nullptr},
    {"version", &Options::version, nullptr},
    {"keys", &Options::keys, nullptr},
    {"trace", &Options::trace, nullptr},
    {"watch", &Options::watch, nullptr},
    {"strict", &Options::strict, nullptr},
    {"force", &Options::force, nullptr},
    {"svg", nullptr, &Options::svgPath},
    {"screenshot", nullptr, &Options::screenshotPath},
    {"fix", nullptr, &Options::fixPath},
    {"window", nullptr, nullptr},
    {"watch-limit", nullptr, nullptr},
};

} // namespace

bool parseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
    optind = 0; // from the start, every time
    opterr = 0;
    auto* arguments = const_cast<char* const*>(argv);
    std::vector<option> longs;
    for (const Known& k : known) {
        longs.push_back({k.name, k.flag != nullptr ? no_argument : required_argument, nullptr,
                         static_cast<int>(longs.size())});
    }
    longs.push_back({nullptr, 0, nullptr, 0});
    for (int option; (option = getopt_long(argc, arguments, ":h", longs.data(), nullptr)) != -1;) {
        const std::string value = optarg != nullptr ? optarg : "";
        if (option == '?') {
            *error = std::string("unknown option '") + argv[optind - 1] + "' (see --help)";
            return false;
        }
        const Known& given = known[option == ':' ? optopt : option == 'h' ? 0 : option];
        const std::string name = std::string("--") + given.name;
        if (option == ':' || (optarg != nullptr && value.empty())) {
            *error = "option " + name + " needs an argument";
            return false;
        }
        // A forgotten argument, not a file name.
        if (optarg != nullptr && value[0] == '-') {
            *error = "option " + name + " needs an argument, not '" + value + "'";
            return false;
        }
        if (given.flag != nullptr) {
            options->*given.flag = true;
        }
        if (given.path != nullptr) {
            options->*given.path = value;
        }
        if (name == "--window" && !stylefile::parseColor(value, options->window)) {
            *error = "option --window needs a colour #rrggbb or #rgb, not '" + value + "'";
            return false;
        }
        options->windowGiven = options->windowGiven || name == "--window";
        if (name == "--watch-limit") {
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
