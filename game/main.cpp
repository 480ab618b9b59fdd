// The program entry: the start-up question, the library's start, the main loop, the end.
#include "zn_app.h"
#include "zn_frame.h"

int main() {
    // The game's frame (the main frame with its scenes) is handed over here once it exists.
    // Without one the program asks the question, starts the library, runs a loop that has
    // nothing to run (it ends at once) and ends the library.
    ZnFrame* frame = nullptr;
    if (theApp.init(frame)) theApp.run();
    return 0;
}
