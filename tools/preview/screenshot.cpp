#include "tools/preview/screenshot.h"

#include "standin/host.h"
#include "standin/session.h"
#include "stylefile/color_text.h"
#include "tools/preview/applied_colors.h"
#include "tools/preview/picture_file.h"
#include "tools/preview/scene_pixels.h"
#include "tools/preview/stop_signals.h"
#include "tools/preview/terminal_text.h"
#include "tools/preview/tool_files.h"

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <ext/stdio_filebuf.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <istream>
#include <unistd.h>

extern char** environ;

namespace preview {
namespace {

namespace fs = std::filesystem;

// Runs the screenshot script in mode, "needs" or "shoot" (with its arguments), in a
// process group of its own so that a terminal's Ctrl+C reaches only the tool, which forwards it;
// each line it writes goes to onLine. Its exit status (128 + the signal that ended it), or -1 with
// error when it cannot be started.
int runScript(const char* mode, std::vector<std::string> arguments,
              const std::function<void(const std::string&)>& onLine, std::string* error) {
    arguments.insert(arguments.begin(), {toolFile(ToolFolder::Libexec, "screenshots.sh"), mode,
                                         toolFile(ToolFolder::Libexec, "windows"),
                                         toolFile(ToolFolder::Data, "screenshots.reg")});
    std::vector<char*> argv(arguments.size() + 1); // and a null pointer last
    std::transform(arguments.begin(), arguments.end(), argv.begin(),
                   [](std::string& argument) { return argument.data(); });
    int lines[2];
    if (pipe2(lines, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, lines[1], STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes); // its process group 0: a new one, the script's own
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t script = 0;
    const int failed = posix_spawn(&script, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(lines[1]);
    // It closes the pipe's end in its keeping; its reads go on after a stop signal, which is
    // forwarded: the script cleans up and ends.
    __gnu_cxx::stdio_filebuf<char> buffer(lines[0], std::ios::in);
    if (failed != 0) {
        *error = "cannot run " + arguments[0] + ": " + std::strerror(failed);
        return -1;
    }
    forwardStopSignals(script);
    std::istream said(&buffer);
    for (std::string line; std::getline(said, line);) {
        onLine(line);
    }
    buffer.close(); // a script that still writes is not left waiting for a reader
    int status = 0;
    while (waitpid(script, &status, 0) < 0 && errno == EINTR) {
    }
    forwardStopSignals(0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// The picture as X showed it, through libpng's simplified reader.
bool readPicture(const std::string& file, Picture* picture, std::string* error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, file.c_str()) != 0) {
        image.format = PNG_FORMAT_RGB;
        *picture = {static_cast<int>(image.width), static_cast<int>(image.height),
                    std::string(PNG_IMAGE_SIZE(image), '\0')};
        if (png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0) {
            return true;
        }
    }
    *error = image.message;
    png_image_free(&image);
    return false;
}

} // namespace

std::vector<std::string> screenshotFiles(const std::string& file,
                                         const std::vector<std::string>& styles) {
    if (styles.size() == 1) {
        return {file};
    }
    const fs::path path(file);
    std::vector<std::string> files;
    for (std::size_t i = 0; i < styles.size(); ++i) {
        const std::string name = path.stem().string() + "-" + std::to_string(i + 1) + "-" +
                                 fs::path(styles[i]).stem().string() + path.extension().string();
        files.push_back((path.parent_path() / name).string());
    }
    return files;
}

std::string screenshotNeeds() {
    std::string lacking, error;
    const int ended = runScript(
        "needs", {}, [&](const std::string& line) { lacking = line.substr(line.find(' ') + 1); },
        &error);
    return ended < 0 ? error : lacking;
}

int takeScreenshots(const Options& options, const Output& output, const std::atomic<bool>& stop) {
    const std::vector<std::string> files = screenshotFiles(options.screenshotPath, options.styles);
    std::vector<std::string> partials;
    // The window's text black or white, whichever reads on the window colour given.
    std::vector<std::string> arguments = {stylefile::colorText(options.window),
                                          stylefile::colorText(readableOn(options.window))};
    // What the pictures must show: what the plug-in applies for each style, natively, on the
    // run's window colour, given each style's path as Wine's plug-in is given it.
    std::vector<AppliedColors> expected;
    std::string error;
    standin::Session session; // its end stops the plug-in
    if (!session.load(&error)) {
        return fail(output, error);
    }
    for (std::size_t i = 0; i < options.styles.size(); ++i) {
        // The path as Wine's programs name it: on drive Z:, the whole Unix file system.
        std::string hostPath = "Z:" + hostPathOf(options.styles[i]);
        std::replace(hostPath.begin(), hostPath.end(), '/', '\\');
        arguments.push_back(hostPath);
        partials.push_back(fs::absolute(partialPictureOf(files[i])).string());
        const std::string tooLong = pathTooLong(hostPath);
        if (!tooLong.empty()) {
            output.err << printable("screenshot of " + options.styles[i] + ": " + tooLong) << "\n"
                       << std::flush;
        }
        stylefile::StyleFile style;
        if (!stylefile::readStyleFile(options.styles[i], &style, &error)) {
            return fail(output, error);
        }
        standin::setStyle(hostPath, std::move(style));
        const standin::Step step = session.step();
        if (step.start && step.result != 0) {
            return fail(output, "the plug-in failed to start");
        }
        expected.push_back(readAppliedColors());
    }
    arguments.insert(arguments.end(), partials.begin(), partials.end());

    std::vector<SceneSample> samples;
    // Puts style i's picture in place and checks it: 0, or 1 after saying what is wrong.
    const auto placeAndCheck = [&](std::size_t i) {
        Picture picture;
        std::string reason;
        if (!readPicture(partials[i], &picture, &reason)) {
            ::unlink(partials[i].c_str());
            return fail(output,
                        "cannot read the screenshot of " + options.styles[i] + ": " + reason);
        }
        if (!placePicture(partials[i], files[i], PictureKind::Png, options.styles, &reason)) {
            return fail(output, "cannot write " + files[i] + ": " + reason);
        }
        const std::vector<std::string> differences =
            compareScene(picture, samples, expected[i], options.trace ? &output.out : nullptr);
        output.out << "screenshot of " << printable(options.styles[i]) << ": "
                   << printable(files[i])
                   << (differences.empty()
                           ? " (Windows drew the ten colours as the plug-in applied them)\n"
                           : "\n")
                   << std::flush;
        for (const std::string& difference : differences) {
            fail(output, files[i] + ": " + difference);
        }
        return differences.empty() ? 0 : 1;
    };
    std::size_t shots = 0;
    int status = 0;
    const int ended = runScript(
        "shoot", arguments,
        [&](const std::string& line) {
            SceneSample sample;
            if (line.rfind("say ", 0) == 0) {
                output.out << printable(line.substr(4)) << "\n" << std::flush;
            } else if (line.rfind("error ", 0) == 0) {
                error = line.substr(6); // why the script could not go on
            } else if (parseSceneSample(line, &sample)) {
                samples.push_back(sample);
            } else if (line.rfind("shot ", 0) == 0 && shots < files.size() && !stop) {
                status |= placeAndCheck(shots);
                samples.clear();
                ++shots;
            }
        },
        &error);
    // A picture taken but not put in place is not left beside its file.
    std::for_each(partials.begin() + shots, partials.end(),
                  [](const std::string& partial) { ::unlink(partial.c_str()); });
    if (!stop && (ended != 0 || shots < files.size())) {
        return fail(output, !error.empty() ? error
                                           : "the screenshot script ended with status " +
                                                 std::to_string(ended) + " after " +
                                                 std::to_string(shots) + " pictures");
    }
    return stop ? 1 : status;
}

} // namespace preview
