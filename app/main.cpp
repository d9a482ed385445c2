#include "app/clear_screen_app.h"
#include "app/log.h"
#include "app/start_up.h"

// The show that plays after the dialog. DemoController takes this place
// (with its header from demo/ and murmur_demo linked to the program).
using Show = ClearScreenApp;

int main(int, char**) {
    configureLog(false, true);
    runDemo<Show>();
    return 0;
}
