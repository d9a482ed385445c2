#pragma once

#include <memory>
#include <string>

#include "app/data_archive.h"
#include "app/display_settings.h"
#include "app/frame_timer.h"
#include "app/generic_singleton.h"
#include "app/log.h"
#include "app/main_loop.h"
#include "app/setup_dialog.h"

// Lets the main loop drive a show's frames.
template <class Show>
class ShowFrames : public IApplication {
public:
    explicit ShowFrames(Show& show) : show_(show) {}
    bool update(float timeMs, float deltaMs) override { return show_.update(timeMs, deltaMs); }
    bool render(float timeMs, float deltaMs) override { return show_.render(timeMs, deltaMs); }

private:
    Show& show_;
};

// The whole run, in this order: the setup dialog; on "Start" the data
// archive is unpacked, the show is created (GenericSingleton<Show>), opens
// its window in the chosen mode, loads the content from the data directory,
// prepares its material programs, and plays frame by frame until Escape;
// then it is destroyed. "Quit" or a closed dialog ends the run before
// anything is unpacked or opened. Returns the exit status: 0, or 1 when
// there is no folder of this user's own to unpack the data into (the show
// does not load from anywhere else).
//
// Show offers initGraphics(width, height, bitsPerPixel, refreshRate) and
// load(dataDirectory as a character string), both -> bool (a false one
// skips straight to the teardown), prepareMaterialPrograms(), and
// update/render(timeMs, deltaMs) -> bool.
template <class Show>
int runDemo() {
    auto settings = std::make_unique<DisplaySettings>();
    showSetupDialog(*settings);
    if (settings->result != 1) return 0;
    const int width = settings->width;
    const int height = settings->height;
    const int bitsPerPixel = settings->bitsPerPixel;
    const int refreshRate = settings->refreshRate;
    settings.reset();

    // The data directory is the unpacked archive's folder: normally the
    // temporary directory followed by "quellon_data/".
    const DataExtraction data = extractDataArchive(temporaryDirectory());
    if (data.dataDirectory.empty()) {
        logMessage("the show cannot start: there is no folder to unpack its data into");
        return 1;
    }

    Show* show = GenericSingleton<Show>::instance();
    // The show starts its log afresh; what the start-up did is said again.
    logMessage("%s", data.summary.c_str());
    if (show->initGraphics(width, height, bitsPerPixel, refreshRate) && show->load(data.dataDirectory.c_str())) {
        show->prepareMaterialPrograms();
        FrameTimer timer;
        timer.start();
        SdlEventSource events;
        ShowFrames<Show> frames(*show);
        runMainLoop(frames, events, timer);
    }
    GenericSingleton<Show>::destroyInstance();
    return 0;
}
