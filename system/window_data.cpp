#include "system/window_data.h"

WindowData& GetWindowData() {
    static WindowData data;
    return data;
}
