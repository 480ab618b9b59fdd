// Which font is selected into which device context. The device contexts belong to the GDI
// window side, which knows nothing of fonts, so the selections are kept here by address.
#include <mutex>
#include <unordered_map>

#include "platform/font/font_engine.h"
#include "platform/font/font_record.h"

namespace plat {

namespace {

std::unordered_map<DeviceContext*, Font*>& Selections() {
    static std::unordered_map<DeviceContext*, Font*> selections;
    return selections;
}

}  // namespace

Font* SelectedFont(DeviceContext* dc) {
    auto found = Selections().find(dc);
    return found == Selections().end() ? nullptr : found->second;
}

Font* SelectObject(DeviceContext* dc, Font* font) {
    if (dc == nullptr) return nullptr;
    std::lock_guard<std::mutex> hold(FontEngineLock());
    Font* previous = SelectedFont(dc);
    if (font != nullptr) {
        ++font->selections;
        Selections()[dc] = font;
    } else {
        Selections().erase(dc);
    }
    if (previous != nullptr) --previous->selections;
    return previous;
}

}  // namespace plat
