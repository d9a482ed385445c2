// murmur-capture: the show as pictures, a contact sheet, a video or benchmark
// figures, rendered headless on a fixed frame clock. See --help.
#include "tools/capture/capture_run.h"

#include <unistd.h>

namespace {

// The one place where murmur-capture meets the show: unpack the archive
// (unless a data folder is given), create the demo controller over the
// capture window's context at the asked size, load the data folder, prepare
// the material programs, and hand the controller over as a capture::IShow
// whose update and render forward to the controller's and whose shot list is
// the main cameras' end times. Each step's seconds go into `times`.
capture::OpenedShow openShow(const capture::ShowRequest&, std::string& error)
{
    error = "this build has no show to play: the demo controller is not part of it yet";
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    capture::Console console;
    console.errIsTerminal = isatty(STDERR_FILENO) != 0;
    return capture::captureMain(std::vector<std::string>(argv + 1, argv + argc), openShow, console);
}
