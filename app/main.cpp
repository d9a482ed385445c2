#include "app/large_pages.h"
#include "app/log.h"
#include "app/start_up.h"
#include "demo/demo_controller.h"

// The show that plays after the dialog.
using Show = DemoController;

int main(int, char** argv) {
    restartWithLargePages(argv);
    configureLog(false, true);
    return runDemo<Show>();
}
