// murmur-capture: the show as pictures, a contact sheet, a video or benchmark
// figures, rendered headless on a fixed frame clock. See --help.
#include "tools/capture/capture_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/data_archive.h"
#include "app/generic_singleton.h"
#include "app/large_pages.h"
#include "app/log.h"
#include "demo/demo_controller.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool isFolder(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

// The demo controller as the capture drives it; destroying this destroys the
// controller (its GL objects go while the capture window's context lives).
class ControllerShow : public capture::IShow {
public:
    explicit ControllerShow(DemoController& controller) : controller_(controller) {}
    ~ControllerShow() override { GenericSingleton<DemoController>::destroyInstance(); }

    bool update(float timeMs, float deltaMs) override { return controller_.update(timeMs, deltaMs); }
    bool render(float timeMs, float deltaMs) override { return controller_.render(timeMs, deltaMs); }
    bool advance(float timeMs, float deltaMs) override
    {
        controller_.advanceFrame(timeMs, deltaMs);
        return true;
    }
    std::vector<float> mainCameraEndTimes() const override { return controller_.mainCameraEndTimes(); }

private:
    DemoController& controller_;
};

// The one place where murmur-capture meets the show: unpack the archive
// (unless a data folder is given), create the demo controller over the
// capture window's context at the asked size, without music (the fixed
// frame clock is the timeline's clock), load the data folder, prepare the
// material programs, and hand the controller over. Each step's seconds go
// into `times`.
capture::OpenedShow openShow(const capture::ShowRequest& request, std::string& error)
{
    capture::OpenedShow opened;
    Clock::time_point start = Clock::now();
    std::string data = request.dataDirectory;
    if (data.empty()) {
        data = extractDataArchive(temporaryDirectory()).dataDirectory;
        if (data.empty() || !isFolder(data)) {
            error = "the data archive " + executableDirectory() + "demodat cannot be unpacked into " +
                    temporaryDirectory();
            return {};
        }
        opened.times.extraction = secondsSince(start);
    } else {
        if (!isFolder(data)) {
            error = "--data " + data + ": no such folder";
            return {};
        }
        if (data.back() != '/') data += '/';
    }

    start = Clock::now();
    DemoController* controller = GenericSingleton<DemoController>::instance();
    // The show's log goes to log.txt only: standard error carries the
    // capture's progress.
    logFlags.mirrorToDebugger = false;
    controller->useMusicPlayer(nullptr);
    if (!controller->adoptGraphics(SDL_GL_GetCurrentWindow(), request.width, request.height)) {
        GenericSingleton<DemoController>::destroyInstance();
        error = "the show cannot draw on the capture window's OpenGL context";
        return {};
    }
    controller->load(data);
    opened.times.content = secondsSince(start);
    start = Clock::now();
    controller->prepareMaterialPrograms();
    opened.times.programs = secondsSince(start);
    const std::size_t gaps = controller->loadProblems().size();
    if (gaps > 0)
        std::fprintf(stderr, "murmur-capture: the show's content has %zu gap%s; log.txt names %s\n", gaps,
                     gaps == 1 ? "" : "s", gaps == 1 ? "it" : "them");

    opened.show = std::make_unique<ControllerShow>(*controller);
    opened.dataDirectory = data;
    return opened;
}

} // namespace

int main(int argc, char** argv)
{
    restartWithLargePages(argv);
    capture::Console console;
    console.errIsTerminal = isatty(STDERR_FILENO) != 0;
    return capture::captureMain(std::vector<std::string>(argv + 1, argv + argc), openShow, console);
}
