// libFuzzer target of the font back end's callers' bytes: character codes, formats, glyph
// transforms, buffer sizes and Shift-JIS strings, on fonts of a few sizes and styles.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/font/gdi_font.h"

namespace {

// One font per (size, bold, italic), made on first use and kept, each in its own device
// context.
plat::DeviceContext* FontContext(uint8_t choice) {
    static plat::DeviceContext* contexts[16] = {};
    static plat::Font* fonts[16] = {};
    static constexpr int32_t kHeights[4] = {8, 16, -24, 40};
    choice &= 15;
    if (contexts[choice] == nullptr) {
        plat::Font* font = plat::CreateFontA(kHeights[choice & 3], 0, 0, 0,
                                             (choice & 4) ? plat::FW_BOLD : plat::FW_NORMAL,
                                             (choice >> 3) & 1, 0, 0, plat::SHIFTJIS_CHARSET,
                                             0, 0, 0, 0, "");
        if (font == nullptr) return nullptr;
        fonts[choice] = font;
        contexts[choice] = plat::CreateCompatibleDC(nullptr);
        plat::SelectObject(contexts[choice], font);
    }
    return contexts[choice];
}

template <typename T>
T Take(const uint8_t*& data, size_t& size) {
    T v{};
    const size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::DeviceContext* dc = FontContext(Take<uint8_t>(data, size));
    if (dc == nullptr) return 0;
    const uint32_t code = Take<uint32_t>(data, size);
    const uint32_t format = Take<uint8_t>(data, size);
    plat::Mat2 transform = Take<plat::Mat2>(data, size);
    const uint32_t slack = Take<uint16_t>(data, size);

    plat::GlyphMetrics metrics{};
    const uint32_t needed =
        plat::GetGlyphOutlineA(dc, code, format, &metrics, 0, nullptr, &transform);
    if (needed != plat::GDI_ERROR && needed > 0) {
        // A buffer of exactly the size, or one a little short or long: writes must stay in it.
        const uint32_t bufferSize = (slack & 1) ? needed - ((slack >> 1) % (needed + 1))
                                                : needed + (slack >> 1) % 64;
        std::vector<uint8_t> buffer(bufferSize);
        plat::GetGlyphOutlineA(dc, code, format, &metrics, bufferSize,
                               buffer.empty() ? nullptr : buffer.data(), &transform);
    }
    plat::TextSize extent{};
    plat::GetTextExtentPoint32A(dc, reinterpret_cast<const char*>(data),
                                static_cast<int32_t>(size), &extent);
    return 0;
}
