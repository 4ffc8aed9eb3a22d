#include "tools/preview/screenshot.h"

#include "stylefile/color_text.h"
#include "tools/preview/child_process.h"
#include "tools/preview/picture_file.h"
#include "tools/preview/scene_pixels.h"
#include "tools/preview/terminal_text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

namespace preview {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// The desktop the scene (scene/scene.cpp) is laid out in; Wine's virtual desktop fills the virtual
// screen, so screen and desktop coordinates agree.
constexpr int SCENE_WIDTH = 720;
constexpr int SCENE_HEIGHT = 400;
const std::string SCREEN_SIZE = std::to_string(SCENE_WIDTH) + "x" + std::to_string(SCENE_HEIGHT);
// The scene's own build folder, with its copy of Tintlet.dll.
const std::string SCENE_FOLDER = std::string(TINTLET_WINDOWS_BUILD) + "/scene";

// By full path: elsewhere on PATH "convert" may be another program.
const char IMPORT[] = "/usr/bin/import";
const char CONVERT[] = "/usr/bin/convert";
const char WINE_FONTS[] = "/usr/share/wine/fonts";

// Generous, as Wine may run through an emulator: a new prefix took 31 s there.
constexpr seconds PREFIX_TIME{300};
constexpr seconds FIRST_PAINT_TIME{180};
constexpr seconds REPAINT_TIME{60};
constexpr seconds TOOL_TIME{30};

// The classic baseline: Windows' standard colours for the 21 system colours Tintlet does not
// manage (a new prefix holds a light theme's), the theme off, and the virtual desktop.
const char PREFIX_SETTINGS[] = R"(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]
"ThemeActive"="0"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="SCREEN_SIZE"

[HKEY_CURRENT_USER\Control Panel\Colors]
"ActiveBorder"="212 208 200"
"ActiveTitle"="10 36 106"
"AppWorkSpace"="128 128 128"
"Background"="58 110 165"
"ButtonAlternateFace"="181 181 181"
"ButtonDkShadow"="64 64 64"
"ButtonFace"="212 208 200"
"ButtonHilight"="255 255 255"
"ButtonLight"="212 208 200"
"ButtonShadow"="128 128 128"
"ButtonText"="0 0 0"
"GradientActiveTitle"="166 202 240"
"GradientInactiveTitle"="192 192 192"
"GrayText"="128 128 128"
"Hilight"="10 36 106"
"HilightText"="255 255 255"
"HotTrackingColor"="0 0 128"
"InactiveBorder"="212 208 200"
"InactiveTitle"="128 128 128"
"InactiveTitleText"="212 208 200"
"InfoText"="0 0 0"
"InfoWindow"="255 255 225"
"Menu"="212 208 200"
"MenuBar"="212 208 200"
"MenuHilight"="10 36 106"
"MenuText"="0 0 0"
"Scrollbar"="212 208 200"
"TitleText"="255 255 255"
"Window"="255 255 255"
"WindowFrame"="0 0 0"
"WindowText"="0 0 0"
)";
// Written last when the prefix is made, with the settings it was made with: a prefix without it,
// or made with other settings, is made again.
const char PREFIX_READY[] = ".tintlet-screenshots-ready";

std::string prefixSettings() {
    std::string settings = PREFIX_SETTINGS;
    settings.replace(settings.find("SCREEN_SIZE"), std::strlen("SCREEN_SIZE"), SCREEN_SIZE);
    return settings;
}

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos) {
            end = directories.size();
        }
        const std::string directory = directories.substr(start, end - start);
        if (!directory.empty() && access((directory + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool hasWineFonts() {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(WINE_FONTS, error)) {
        if (entry.path().extension() == ".ttf") {
            return true;
        }
    }
    return false;
}

// A style path as Wine's programs name it: on drive Z:, the whole Unix file system.
std::string windowsPath(const std::string& path) {
    std::string name = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char& c : name) {
        c = c == '/' ? '\\' : c;
    }
    return name;
}

// Where the prefix is kept for the user: $XDG_CACHE_HOME/tintlet, else ~/.cache/tintlet.
bool cacheDirectory(std::string* directory, std::string* error) {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache != nullptr && cache[0] == '/') {
        *directory = std::string(cache) + "/tintlet";
    } else if (home != nullptr && home[0] == '/') {
        *directory = std::string(home) + "/.cache/tintlet";
    } else {
        *error = "--screenshot keeps a Wine prefix in $XDG_CACHE_HOME or $HOME, and neither is set";
        return false;
    }
    std::error_code made;
    fs::create_directories(*directory, made);
    if (made) {
        *error = "cannot make " + *directory + ": " + made.message();
        return false;
    }
    return true;
}

// What a program that failed said last, for a message.
std::string reasonOf(ChildProcess& program) {
    const std::string said = program.lastError();
    return said.empty() ? "no reason given" : said;
}

// One run at a time in a prefix: two disturb each other.
class PrefixLock {
  public:
    ~PrefixLock() {
        if (fd_ >= 0) {
            ::close(fd_); // releases the lock
        }
    }
    bool take(const std::string& path, const Output& output, const std::atomic<bool>& stop,
              std::string* error) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            *error = "cannot open " + path + ": " + std::strerror(errno);
            return false;
        }
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        output.out << "waiting for another screenshot run to finish with its Wine prefix\n"
                   << std::flush;
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR || stop) {
                *error = stop ? "stopped"
                              : std::string("cannot lock ") + path + ": " + std::strerror(errno);
                return false;
            }
        }
        return true;
    }

  private:
    int fd_ = -1;
};

// A private virtual X server on a display number it picks itself, ended with the run.
class VirtualScreen {
  public:
    bool start(const std::atomic<bool>& stop, std::string* error) {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) < 0) {
            *error = std::string("cannot make a pipe: ") + std::strerror(errno);
            return false;
        }
        ChildOptions options;
        options.passDescriptor = ready[1];
        options.readErrors = true;
        const std::string screen = SCREEN_SIZE + "x24";
        const bool started = server_.start({"Xvfb", "-displayfd", std::to_string(ready[1]),
                                            "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                                           options, error);
        ::close(ready[1]);
        // It writes its display number once it accepts clients.
        std::string number;
        char c;
        const auto deadline = Clock::now() + TOOL_TIME;
        while (started && !stop && Clock::now() < deadline) {
            const ssize_t got = ::read(ready[0], &c, 1);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0 || c == '\n') {
                break;
            }
            number += c;
        }
        ::close(ready[0]);
        if (!started) {
            return false;
        }
        if (number.empty()) {
            *error = "Xvfb did not start: " + reasonOf(server_);
            server_.end();
            return false;
        }
        display_ = ":" + number;
        return true;
    }
    const std::string& display() const { return display_; }

  private:
    ChildProcess server_;
    std::string display_;
};

// The environment of every Wine program of the run.
ChildOptions wineOptions(const std::string& prefix, const std::string& display) {
    ChildOptions options;
    options.environment = {"WINEPREFIX=" + prefix, "WINEARCH=win32", "WINEDEBUG=-all",
                           "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY=" + display};
    options.unset = {"WAYLAND_DISPLAY"};
    return options;
}

// Stops every Wine program of the prefix and waits for its server to go.
void endWine(const ChildOptions& options) {
    const std::atomic<bool> never{false};
    std::string ignored;
    runCommand({"wineserver", "-k"}, options, TOOL_TIME, never, &ignored);
    runCommand({"wineserver", "-w"}, options, TOOL_TIME, never, &ignored);
}

// Makes the prefix when it is not made yet: a 32-bit Windows, Wine's fonts, the settings above.
bool makePrefix(const std::string& prefix, const ChildOptions& wine, const Output& output,
                const std::atomic<bool>& stop, std::string* error) {
    const std::string settings = prefixSettings();
    if (fileText(prefix + "/" + PREFIX_READY) == settings) {
        return true;
    }
    output.out << "making a Wine prefix for screenshots in " << printable(prefix)
               << " (once; half a minute, more through an emulator)\n"
               << std::flush;
    std::error_code failed;
    fs::remove_all(prefix, failed);
    fs::create_directories(prefix, failed);
    if (failed) {
        *error = "cannot make " + prefix + ": " + failed.message();
        return false;
    }
    if (runCommand({"wine", "wineboot", "-i"}, wine, PREFIX_TIME, stop, error) != 0 ||
        runCommand({"wineserver", "-w"}, wine, PREFIX_TIME, stop, error) != 0) {
        *error = "cannot make the Wine prefix: " + *error;
        return false;
    }
    // Without them caption buttons draw as letters and text falls back to other fonts.
    const fs::path fonts = fs::path(prefix) / "drive_c/windows/Fonts";
    fs::create_directories(fonts, failed);
    for (const auto& entry : fs::directory_iterator(WINE_FONTS, failed)) {
        if (entry.path().extension() == ".ttf") {
            fs::copy_file(entry.path(), fonts / entry.path().filename(),
                          fs::copy_options::overwrite_existing, failed);
        }
        if (failed) {
            break;
        }
    }
    std::ofstream(prefix + "/tintlet-screenshots.reg") << settings;
    ChildOptions inPrefix = wine;
    inPrefix.directory = prefix;
    if (failed ||
        runCommand({"wine", "regedit", "/S", "tintlet-screenshots.reg"}, inPrefix, PREFIX_TIME,
                   stop, error) != 0 ||
        runCommand({"wineserver", "-w"}, wine, PREFIX_TIME, stop, error) != 0) {
        *error = "cannot set up the Wine prefix: " + (failed ? failed.message() : *error);
        return false;
    }
    if (fileText(prefix + "/user.reg").find("\"Default\"=\"" + SCREEN_SIZE + "\"") ==
        std::string::npos) {
        *error = "the Wine prefix did not take its settings (" + prefix + "/user.reg)";
        return false;
    }
    std::ofstream(prefix + "/" + PREFIX_READY) << settings;
    return true;
}

// The screen as a PNG file, written whole or not at all, and read back as pixels.
bool capture(const std::string& display, const std::string& file,
             const std::vector<std::string>& styles, Picture* picture,
             const std::atomic<bool>& stop, std::string* error) {
    const std::string partial = partialPictureOf(file);
    std::string pixels;
    const ChildOptions quiet;
    // Without time stamps, the same screen gives the same file.
    if (runCommand({IMPORT, "-display", display, "-window", "root", "-strip", "PNG:" + partial},
                   quiet, TOOL_TIME, stop, error) != 0 ||
        runCommand({CONVERT, "PNG:" + partial, "-depth", "8", "RGB:-"}, quiet, TOOL_TIME, stop,
                   error, &pixels) != 0) {
        ::unlink(partial.c_str());
        *error = "cannot take the screenshot: " + *error;
        return false;
    }
    std::string reason;
    if (!placePicture(partial, file, PictureKind::Png, styles, &reason)) {
        *error = "cannot write " + file + ": " + reason;
        return false;
    }
    *picture = {SCENE_WIDTH, SCENE_HEIGHT, std::move(pixels)};
    return true;
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
    const std::string& build = SCENE_FOLDER;
    if (!onPath("wine") || !onPath("wineserver")) {
        return "--screenshot needs Wine (apt-get install wine wine32:i386, with the i386 "
               "architecture added; tools/install-packages.sh does all of it)";
    }
    if (!onPath("Xvfb")) {
        return "--screenshot needs Xvfb, a virtual X server (apt-get install xvfb)";
    }
    if (access(IMPORT, X_OK) != 0 || access(CONVERT, X_OK) != 0) {
        return std::string("--screenshot needs ImageMagick's ") + IMPORT + " and " + CONVERT +
               " to write and read PNG files (apt-get install imagemagick)";
    }
    if (!hasWineFonts()) {
        return std::string("--screenshot needs Wine's fonts in ") + WINE_FONTS +
               " (apt-get install fonts-wine)";
    }
    if (access((build + "/Marlwood.exe").c_str(), R_OK) != 0 ||
        access((build + "/Tintlet.dll").c_str(), R_OK) != 0) {
        return "--screenshot needs Marlwood.exe and Tintlet.dll in " + build +
               " (make windows builds them)";
    }
    return "";
}

namespace {

int screenshotSession(const ScreenshotPlan& plan, const Output& output,
                      const std::atomic<bool>& stop) {
    std::string error, cache;
    PrefixLock lock;
    if (!cacheDirectory(&cache, &error) ||
        !lock.take(cache + "/wineprefix-screenshots.lock", output, stop, &error)) {
        return fail(output, error);
    }
    const std::string prefix = cache + "/wineprefix-screenshots";

    VirtualScreen screen;
    if (!screen.start(stop, &error)) {
        return fail(output, error);
    }
    const ChildOptions wine = wineOptions(prefix, screen.display());
    // Declared after the screen, so it ends first: nothing of Wine outlives the run.
    struct WineServer {
        const ChildOptions& options;
        ~WineServer() { endWine(options); }
    } server{wine};
    if (!makePrefix(prefix, wine, output, stop, &error)) {
        return fail(output, error);
    }

    // Windows chooses against the same window colour as the report assumed.
    std::vector<std::string> command = {"wine", SCENE_FOLDER + "/Marlwood.exe", "--window",
                                        stylefile::colorText(plan.window)};
    for (const std::string& style : plan.styles) {
        command.push_back(windowsPath(style));
    }
    ChildOptions sceneOptions = wine;
    sceneOptions.directory = SCENE_FOLDER;
    sceneOptions.writeInput = sceneOptions.readOutput = sceneOptions.readErrors = true;
    ChildProcess scene;
    if (!scene.start(command, sceneOptions, &error)) {
        return fail(output, error);
    }

    const std::vector<std::string> files = screenshotFiles(plan.file, plan.styles);
    int status = 0;
    for (std::size_t i = 0; i < plan.styles.size(); ++i) {
        const auto deadline = Clock::now() + (i == 0 ? FIRST_PAINT_TIME : REPAINT_TIME);
        std::vector<SceneSample> samples;
        std::string line;
        bool painted = false;
        while (!painted && scene.readLine(&line, deadline, stop)) {
            SceneSample sample;
            if (parseSceneSample(line, &sample)) {
                samples.push_back(sample);
            }
            painted = line.compare(0, 8, "painted ") == 0;
        }
        if (!painted) {
            scene.end();
            return stop ? 1
                        : fail(output, "the scene of " + plan.styles[i] +
                                           " was not painted: " + reasonOf(scene));
        }
        Picture picture;
        if (!capture(screen.display(), files[i], plan.styles, &picture, stop, &error)) {
            return fail(output, error);
        }
        std::vector<std::string> trace;
        const std::vector<std::string> differences =
            compareScene(picture, samples, plan.colors[i], plan.trace ? &trace : nullptr);
        for (const std::string& sampleLine : trace) {
            output.out << "trace: screenshot " << sampleLine << "\n";
        }
        output.out << "screenshot of " << printable(plan.styles[i]) << ": " << printable(files[i])
                   << (differences.empty()
                           ? " (Windows drew the ten colours as the plug-in applied them)\n"
                           : "\n")
                   << std::flush;
        for (const std::string& difference : differences) {
            fail(output, files[i] + ": " + difference);
            status = 1;
        }
        scene.write(i + 1 < plan.styles.size() ? "next\n" : "stop\n");
    }
    scene.closeInput();
    const int ended = scene.wait(Clock::now() + TOOL_TIME, stop);
    if (ended != 0 && !stop) {
        return fail(output, "Marlwood.exe ended with status " + std::to_string(ended) + ": " +
                                reasonOf(scene));
    }
    return status;
}

} // namespace

int takeScreenshots(const ScreenshotPlan& plan, const Output& output,
                    const std::atomic<bool>& stop) {
    const std::string needs = screenshotNeeds();
    if (!needs.empty()) {
        return fail(output, needs);
    }
    adoptDescendants();
    const int status = screenshotSession(plan, output, stop);
    endDescendants(); // whatever of Wine or X is still there, also after a failure
    return status;
}

} // namespace preview
