// Saving a rectangle of the draw target to an image file.
#include "base/log.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/screen_save/screen_save.h"
#include "graphics/screen_save/screen_save_internal.h"

int WriteScreenImageFile(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const char* fileName,
                         int type, int jpegQuality, int jpegFlag, int pngLevel) {
    if (!TargetScreenUp()) return LogWrite("画面が準備されていないので画像を保存できません\n");
    if (fileName == nullptr || fileName[0] == '\0') {
        return LogWrite("画像を保存するファイル名がありません\n");
    }
    if (type != kScreenSaveBmp && type != kScreenSaveJpeg && type != kScreenSavePng) {
        return LogFormat("画像の保存形式 %d には対応していません", type);
    }
    WindowFactsSlot()->waitWhileInactive();
    Device3DSlot()->endCurrentDeviceScene();

    RECT rect{x1, y1, x2, y2};
    ClipRectInPlace(&rect, &GetDrawState().drawArea);
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return LogFormat("保存する矩形 (%d,%d)-(%d,%d) は描画可能領域の外です", x1, y1, x2, y2);
    }
    ScreenPixelSource source;
    if (OpenScreenPixelSource(rect, &source) != 0) return -1;
    const int result =
        type == kScreenSaveBmp
            ? WriteScreenBmpFile(fileName, source)
            : WriteScreenEncodedFile(fileName, source, type, jpegQuality, jpegFlag, pngLevel);
    CloseScreenPixelSource(&source);
    return result;
}
