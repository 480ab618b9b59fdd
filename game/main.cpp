// The program entry: the start-up question, the library's start, the main loop over the main
// frame and its scenes, the end.
#include "main_frame.h"
#include "zn_app.h"

int main() {
    if (theApp.init(&theMainFrame)) theApp.run();
    return 0;
}
