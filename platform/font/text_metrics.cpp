// GetTextMetricsA: the metrics measured when the selected font was made.
#include <mutex>

#include "platform/font/font_engine.h"
#include "platform/font/font_record.h"

namespace plat {

bool GetTextMetricsA(DeviceContext* dc, TextMetric* out) {
    if (dc == nullptr || out == nullptr) return false;
    std::lock_guard<std::mutex> hold(FontEngineLock());
    Font* font = SelectedFont(dc);
    if (font == nullptr) return false;
    *out = font->metrics;
    return true;
}

}  // namespace plat
