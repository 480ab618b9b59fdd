// BMP pixels of 1, 16 and 32 bits and bit-field images, brought to 24-bit RGB by the GDI
// conversion: the file's header, table and pixels are drawn into a top-down 24-bit DIB
// section, whose rows are then copied out.
#include <cstring>

#include "graphics/codecs/bmp_layout.h"
#include "graphics/codecs/image_input.h"
#include "platform/gdi/gdi.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// The file's header as the conversion takes it: a 40-byte info header with the masks and the
// colour table.
void BuildSourceInfo(const BmpLayout& layout, plat::BitmapInfo* info) {
    std::memset(info, 0, sizeof(*info));
    info->header.size = sizeof(plat::BitmapInfoHeader);
    info->header.width = layout.width;
    info->header.height = layout.storedHeight;
    info->header.planes = 1;
    info->header.bitCount = layout.bitCount;
    info->header.compression =
        layout.compression == kBmpBitFields ? plat::BI_BITFIELDS : plat::BI_RGB;
    info->header.clrUsed = static_cast<uint32_t>(layout.paletteCount);
    for (int i = 0; i < 3; ++i) info->masks[i] = layout.masks[i];
    for (int i = 0; i < layout.paletteCount; ++i) {
        const PaletteEntry& entry = layout.palette[i];
        info->colors[i] = plat::RgbQuad{entry.b, entry.g, entry.r, 0};
    }
}

// Draws the pixels into the selected section and copies its rows; 0 or -1 with a log line.
int ConvertInto(plat::DeviceContext* dc, const BmpLayout& layout, const plat::BitmapInfo& info,
                plat::Bitmap* section, GraphImage* out) {
    const int32_t converted = plat::SetDIBitsToDevice(
        dc, 0, 0, static_cast<uint32_t>(layout.width), static_cast<uint32_t>(layout.rows), 0, 0, 0,
        static_cast<uint32_t>(layout.rows), layout.pixels, layout.pixelBytes, &info,
        plat::DIB_RGB_COLORS);
    if (converted != layout.rows) {
        return LogFormat("BMP の %u ビット画像を 24 ビットに変換できませんでした", layout.bitCount);
    }
    plat::BitmapDesc desc;
    if (!plat::GetBitmapDesc(section, &desc) || desc.bits == nullptr ||
        desc.width != layout.width || desc.height != layout.rows) {
        return LogWrite("ＤＩＢの作成に失敗しました3\n");
    }
    const uint64_t pitch = (static_cast<uint64_t>(desc.widthBytes) + 3) / 4 * 4;
    uint8_t* pixels = AllocImagePixels(pitch * static_cast<uint64_t>(layout.rows), 0);
    if (pixels == nullptr) {
        return LogWrite(
            "２４ビットカラー化したグラフィックを格納するメモリ領域の確保に失敗しました\n");
    }
    const auto* rows = static_cast<const uint8_t*>(desc.bits);
    for (int32_t y = 0; y < layout.rows; ++y) {
        const int32_t source = desc.topDown ? y : layout.rows - 1 - y;
        std::memcpy(pixels + static_cast<uint64_t>(y) * pitch,
                    rows + static_cast<uint64_t>(source) * static_cast<uint64_t>(desc.widthBytes),
                    static_cast<size_t>(desc.widthBytes));
    }
    SetColorFormatRgb24(&out->colorFormat);
    out->width = layout.width;
    out->height = layout.rows;
    out->pitch = static_cast<int32_t>(pitch);
    out->pixels = pixels;
    return 0;
}

}  // namespace

int ConvertBmpThroughDib(const BmpLayout& layout, GraphImage* out) {
    // Both headers hold a 1 KB colour table: they live in one tracked block.
    struct Infos {
        plat::BitmapInfo source;
        plat::BitmapInfo section;
    };
    auto* infos = static_cast<Infos*>(ZN_ALLOC_ZERO(sizeof(Infos)));
    if (infos == nullptr) return LogWrite("ＤＩＢの作成に失敗しました3\n");
    BuildSourceInfo(layout, &infos->source);
    infos->section.header.size = sizeof(plat::BitmapInfoHeader);
    infos->section.header.width = layout.width;
    infos->section.header.height = -layout.rows;
    infos->section.header.planes = 1;
    infos->section.header.bitCount = 24;
    infos->section.header.compression = plat::BI_RGB;

    int result = -1;
    plat::DeviceContext* dc = plat::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    plat::Bitmap* section =
        dc != nullptr ? plat::CreateDIBSection(dc, &infos->section, plat::DIB_RGB_COLORS, &bits)
                      : nullptr;
    if (section == nullptr) {
        LogWrite("ＤＩＢの作成に失敗しました3\n");
    } else {
        plat::Bitmap* previous = plat::SelectObject(dc, section);
        result = ConvertInto(dc, layout, infos->source, section, out);
        plat::SelectObject(dc, previous);
        plat::DeleteObject(section);
    }
    if (dc != nullptr) plat::DeleteDC(dc);
    TrackedFree(infos);
    return result;
}
