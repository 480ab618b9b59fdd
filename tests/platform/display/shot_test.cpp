// The scripted input's "STEP shot FILE": the picture shown at the start of that step written as
// a PNG file, read back here with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backend/headless/scripted_input.h"
#include "tests/platform/display/display_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using plat::DD_OK;

// The PNG file's size and pixels as 0x00RRGGBB (empty when libpng cannot read it).
plat::ShownPicture ReadPng(const std::string& path) {
    plat::ShownPicture out;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return out;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) return out;
    out.width = static_cast<int32_t>(image.width);
    out.height = static_cast<int32_t>(image.height);
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        out.pixels.push_back(uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
    }
    return out;
}

class ShotTest : public DisplayFixture {
protected:
    void TearDown() override {
        plat::ResetScriptedInput();
        DisplayFixture::TearDown();
    }
};

TEST_F(ShotTest, AShotStepWritesThePictureShownAsAPng) {
    ScopedTempDir dir;
    std::vector<plat::ScriptedInputEvent> events;
    std::string error;
    ASSERT_TRUE(plat::ParseScriptedInput("2 shot first.png\n4 shot second.png\n", &events, &error))
        << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].action, plat::ScriptedAction::Shot);
    EXPECT_EQ(events[0].file, "first.png");
    plat::SetScriptedInput(events);

    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::DrawSurface* primary = MakePrimary();
    const plat::Rect client{kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    Paint(primary, &client, [](int32_t x, int32_t y) {
        return static_cast<uint32_t>(((x - kLeft) & 0xFF) << 16 | ((y - kTop) & 0xFF) << 8 | 0x5A);
    });
    plat::AdvanceScriptedInput();
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "first.png"));
    plat::AdvanceScriptedInput();
    const plat::ShownPicture first = ReadPng((dir.path() / "first.png").string());
    const plat::ShownPicture shown = Shown();
    ASSERT_EQ(first.width, kWidth);
    ASSERT_EQ(first.height, kHeight);
    EXPECT_EQ(first.pixels, shown.pixels);
    EXPECT_EQ(At(first, 17, 9), 0x11095Au);

    // The second shot sees what was drawn in between.
    const plat::Rect corner{kLeft, kTop, kLeft + 1, kTop + 1};
    Paint(primary, &corner, [](int32_t, int32_t) { return 0x00FFFFFFu; });
    plat::AdvanceScriptedInput();
    plat::AdvanceScriptedInput();
    const plat::ShownPicture second = ReadPng((dir.path() / "second.png").string());
    ASSERT_EQ(second.width, kWidth);
    EXPECT_EQ(At(second, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(second, 17, 9), 0x11095Au);
}

TEST_F(ShotTest, ShotLinesAreCheckedAndAFailedShotDoesNotStopTheRun) {
    struct Case {
        const char* script;
        const char* error;
    } bad[] = {
        {"1 shot\n", "line 1: missing file name: 1 shot"},
        {"3 shot a.png b.png\n", "line 1: one file name only: 3 shot a.png b.png"},
    };
    for (const Case& c : bad) {
        std::vector<plat::ScriptedInputEvent> events;
        std::string error;
        EXPECT_FALSE(plat::ParseScriptedInput(c.script, &events, &error)) << c.script;
        EXPECT_EQ(error, c.error);
    }
    ScopedTempDir dir;
    plat::SetScriptedInput({{1, plat::ScriptedAction::Shot, 0, "no-such-folder/x.png"},
                            {1, plat::ScriptedAction::Shot, 0, "written.png"}});
    plat::AdvanceScriptedInput();
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no-such-folder"));
    EXPECT_EQ(ReadPng((dir.path() / "written.png").string()).width, kWidth);
    EXPECT_EQ(plat::ScriptedInputStep(), 1u);
}

}  // namespace
