#include "app/clear_screen_app.h"
#include "app/frame_timer.h"
#include "app/generic_singleton.h"
#include "app/log.h"
#include "app/main_loop.h"

namespace {

void runDemo() {
    ClearScreenApp* app = GenericSingleton<ClearScreenApp>::instance();
    if (!app->initGraphics()) {
        logMessage("couldn't initialize opengl window");
    } else {
        FrameTimer timer;
        timer.start();
        SdlEventSource events;
        runMainLoop(*app, events, timer);
    }
    GenericSingleton<ClearScreenApp>::destroyInstance();
}

}  // namespace

int main(int, char**) {
    configureLog(false, true);
    runDemo();
    return 0;
}
