#include "tools/preview/preview_options.h"

#include "stylefile/color_text.h"

#include <cstdlib>

namespace preview {

std::string usage() {
    return "usage: tintlet-preview [options] [STYLE...]\n"
           "\n"
           "Runs the Tintlet plug-in in the stand-in host: starts it with the first style, changes "
           "to\n"
           "each further style in turn, then stops it. After the start and after each change it "
           "prints\n"
           "the ten system colours the plug-in applied, and the contrast of each text on its\n"
           "background. Without a style it uses the bundled sample style.\n"
           "\n"
           "options:\n"
           "  --trace       print every host call with its arguments and result\n"
           "  --svg FILE    draw the title bars, a selected row and a tooltip of the last style\n"
           "  --screenshot FILE.png\n"
           "                a screenshot per style of what Windows itself draws in the colours\n"
           "                (classic look, under Wine; several styles: FILE-1-NAME.png, ...)\n"
           "  --watch       keep running; re-apply the last style whenever its file changes\n"
           "                (Ctrl+C stops)\n"
           "  --window #rrggbb|#rgb\n"
           "                the window background the highlight is seen on (default " +
           stylefile::colorText(Options().window) +
           ")\n"
           "  --strict      exit with status 3 when any warning was printed\n"
           "  --help        show this help\n";
}

bool parseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options->styles.push_back(argument);
            continue;
        }
        auto value = [&](const std::string& name, std::string* out) {
            if (argument.size() > name.size() &&
                argument.compare(0, name.size() + 1, name + "=") == 0) {
                *out = argument.substr(name.size() + 1);
            } else if (i + 1 < argc) {
                *out = argv[++i];
                // A forgotten argument, not a file name.
                if (!out->empty() && (*out)[0] == '-') {
                    *error = "option " + name + " needs an argument, not '" + *out + "'";
                    return false;
                }
            } else {
                *error = "option " + name + " needs an argument";
                return false;
            }
            if (out->empty()) {
                *error = "option " + name + " needs an argument";
                return false;
            }
            return true;
        };
        auto is = [&](const std::string& name) {
            return argument == name || argument.compare(0, name.size() + 1, name + "=") == 0;
        };
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--trace") {
            options->trace = true;
        } else if (argument == "--watch") {
            options->watch = true;
        } else if (argument == "--strict") {
            options->strict = true;
        } else if (is("--window")) {
            std::string text;
            if (!value("--window", &text)) {
                return false;
            }
            if (!stylefile::parseColor(text, options->window)) {
                *error = "option --window needs a colour #rrggbb or #rgb, not '" + text + "'";
                return false;
            }
        } else if (is("--screenshot")) {
            if (!value("--screenshot", &options->screenshotPath)) {
                return false;
            }
        } else if (is("--svg")) {
            if (!value("--svg", &options->svgPath)) {
                return false;
            }
        } else if (is("--watch-limit")) {
            std::string text;
            if (!value("--watch-limit", &text)) {
                return false;
            }
            char* end = nullptr;
            const long limit = std::strtol(text.c_str(), &end, 10);
            if (*end != '\0' || limit < 1 || limit > 1000000) {
                *error = "option --watch-limit needs a positive number, not '" + text + "'";
                return false;
            }
            options->watchLimit = static_cast<int>(limit);
            options->watch = true;
        } else {
            *error = "unknown option '" + argument + "' (see --help)";
            return false;
        }
    }
    if (options->watch && !options->screenshotPath.empty()) {
        *error = "--screenshot and --watch do not go together: each screenshot run starts Wine";
        return false;
    }
    return true;
}

} // namespace preview
