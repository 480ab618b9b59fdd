// The surface layer's own rules: what CreateSurface accepts, where surfaces live, row pitch,
// locks and device contexts, guard bands, lost surfaces, injected failures, the call log and
// attached Z buffers.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "tests/platform/ddraw/ddraw_fixture.h"

namespace {

using plat::DD_OK;
using plat::Rect;

using DDrawSurfaceTest = DDrawFixture;

TEST_F(DDrawSurfaceTest, CreateSurfaceRefusesBadDescriptions) {
    const plat::PixelFormat rgb = Rgb565();
    const plat::PixelFormat z = Z16();
    plat::PixelFormat z24 = Z16();
    z24.bitCount = 24;
    const plat::PixelFormat overlapping = Rgb(16, 0xF800, 0x0FE0, 0x001F);
    const plat::PixelFormat outside = Rgb(16, 0x1F0000, 0x07E0, 0x001F);
    const plat::PixelFormat broken = Rgb(16, 0xF100, 0x07E0, 0x001F);
    const plat::PixelFormat bits12 = Rgb(12, 0xF00, 0xF0, 0xF);
    plat::PixelFormat fourCC = Rgb565();
    fourCC.flags |= plat::DDPF_FOURCC;
    constexpr uint32_t kPlain = plat::DDSCAPS_OFFSCREENPLAIN;

    struct Case {
        const char* what;
        plat::SurfaceDesc desc;
        plat::DDResult expected;
    } cases[] = {
        {"no kind", Desc(8, 8, plat::DDSCAPS_SYSTEMMEMORY, &rgb), plat::DDERR_INVALIDCAPS},
        {"two kinds", Desc(8, 8, kPlain | plat::DDSCAPS_TEXTURE, &rgb), plat::DDERR_INVALIDCAPS},
        {"both memories",
         Desc(8, 8, kPlain | plat::DDSCAPS_SYSTEMMEMORY | plat::DDSCAPS_VIDEOMEMORY, &rgb),
         plat::DDERR_INVALIDCAPS},
        {"unknown caps bit", Desc(8, 8, kPlain | 0x200, &rgb), plat::DDERR_INVALIDCAPS},
        {"width 0", Desc(0, 8, kPlain, &rgb), plat::DDERR_INVALIDPARAMS},
        {"height too large", Desc(8, 16385, kPlain, &rgb), plat::DDERR_INVALIDPARAMS},
        {"Z buffer without format", Desc(8, 8, plat::DDSCAPS_ZBUFFER), plat::DDERR_INVALIDPIXELFORMAT},
        {"24-bit Z buffer", Desc(8, 8, plat::DDSCAPS_ZBUFFER, &z24), plat::DDERR_INVALIDPIXELFORMAT},
        {"Z format on a plain surface", Desc(8, 8, kPlain, &z), plat::DDERR_INVALIDPIXELFORMAT},
        {"overlapping masks", Desc(8, 8, kPlain, &overlapping), plat::DDERR_INVALIDPIXELFORMAT},
        {"mask outside the pixel", Desc(8, 8, kPlain, &outside), plat::DDERR_INVALIDPIXELFORMAT},
        {"mask with a hole", Desc(8, 8, kPlain, &broken), plat::DDERR_INVALIDPIXELFORMAT},
        {"12 bits", Desc(8, 8, kPlain, &bits12), plat::DDERR_INVALIDPIXELFORMAT},
        {"FourCC", Desc(8, 8, kPlain, &fourCC), plat::DDERR_INVALIDPIXELFORMAT},
    };
    for (Case& c : cases) {
        plat::DrawSurface* s = reinterpret_cast<plat::DrawSurface*>(1);
        EXPECT_EQ(dd_->CreateSurface(&c.desc, &s), c.expected) << c.what;
        EXPECT_EQ(s, nullptr) << c.what;
    }
    plat::SurfaceDesc managedInSystem = Desc(8, 8, plat::DDSCAPS_TEXTURE | plat::DDSCAPS_SYSTEMMEMORY, &rgb);
    managedInSystem.caps.caps2 = plat::DDSCAPS2_TEXTUREMANAGE;
    plat::DrawSurface* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&managedInSystem, &s), plat::DDERR_INVALIDCAPS);
    plat::SurfaceDesc noSize = Desc(8, 8, kPlain, &rgb);
    noSize.flags &= ~plat::DDSD_WIDTH;
    EXPECT_EQ(dd_->CreateSurface(&noSize, &s), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(plat::LiveSurfaceCount(), liveAtStart_);
}

TEST_F(DDrawSurfaceTest, PlacementFollowsCapsAndTheVideoMemoryBudget) {
    const uint32_t bytes = 64 * 64 * 2;  // pitch 128, 64 rows
    plat::SetVideoMemoryBudget(bytes * 2);
    const plat::PixelFormat f = Rgb565();
    auto placed = [](plat::DrawSurface* s) {
        plat::SurfaceCaps caps;
        EXPECT_EQ(s->GetCaps(&caps), DD_OK);
        return caps.caps & (plat::DDSCAPS_VIDEOMEMORY | plat::DDSCAPS_SYSTEMMEMORY);
    };

    plat::DrawSurface* video = MakePlain(64, 64, f, plat::DDSCAPS_VIDEOMEMORY | plat::DDSCAPS_3DDEVICE);
    EXPECT_EQ(placed(video), plat::DDSCAPS_VIDEOMEMORY);
    plat::SurfaceCaps caps;
    video->GetCaps(&caps);
    EXPECT_EQ(caps.caps & (plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE),
              plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE);
    EXPECT_EQ(plat::GetVideoMemoryInUse(), bytes);

    // Neither memory asked for: video while it lasts, then system memory.
    plat::DrawSurface* either = MakePlain(64, 64, f, 0);
    EXPECT_EQ(placed(either), plat::DDSCAPS_VIDEOMEMORY);
    plat::DrawSurface* overflow = MakePlain(64, 64, f, 0);
    EXPECT_EQ(placed(overflow), plat::DDSCAPS_SYSTEMMEMORY);

    // Video memory asked for and none left.
    const plat::SurfaceDesc d = Desc(64, 64, plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_VIDEOMEMORY, &f);
    plat::DrawSurface* refused = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&d, &refused), plat::DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(refused, nullptr);

    uint32_t total = 0, free = 0;
    EXPECT_EQ(dd_->GetAvailableVidMem(&caps, &total, &free), DD_OK);
    EXPECT_EQ(total, bytes * 2);
    EXPECT_EQ(free, 0u);

    // Managed textures live in system memory whatever the budget says.
    plat::SurfaceDesc managed = Desc(16, 16, plat::DDSCAPS_TEXTURE, &f);
    managed.caps.caps2 = plat::DDSCAPS2_TEXTUREMANAGE;
    plat::DrawSurface* texture = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&managed, &texture), DD_OK);
    made_.push_back(texture);
    EXPECT_EQ(placed(texture), plat::DDSCAPS_SYSTEMMEMORY);

    // Releasing gives the budget back.
    video->Release();
    made_.erase(std::find(made_.begin(), made_.end(), video));
    EXPECT_EQ(plat::GetVideoMemoryInUse(), bytes);
}

TEST_F(DDrawSurfaceTest, PitchIsRoundedAndPaddedAndLocksUseIt) {
    struct Case {
        uint32_t width;
        plat::PixelFormat format;
        uint32_t padding;
        int32_t pitch;
    } cases[] = {
        {3, Rgb565(), 0, 8},
        {4, Rgb565(), 0, 8},
        {5, Rgb(24, 0xFF0000, 0xFF00, 0xFF), 0, 16},
        {10, Xrgb32(), 0, 40},
        {3, Rgb565(), 24, 32},
        {10, Xrgb32(), 40, 80},
    };
    for (const Case& c : cases) {
        plat::SetSurfacePitchPadding(c.padding);
        plat::DrawSurface* s = MakePlain(c.width, 3, c.format);
        ASSERT_NE(s, nullptr);
        plat::SurfaceDesc d;
        ASSERT_EQ(s->GetSurfaceDesc(&d), DD_OK);
        EXPECT_EQ(d.pitch, c.pitch) << c.width << " " << c.padding;

        // The pixel at (x, y) of a rectangle lock lies at top-left + y × pitch + x × bytes.
        plat::SurfaceDesc whole, part;
        ASSERT_EQ(s->Lock(nullptr, &whole, plat::DDLOCK_WAIT), DD_OK);
        const Rect r = {1, 2, static_cast<int32_t>(c.width), 3};
        ASSERT_EQ(s->Unlock(nullptr), DD_OK);
        ASSERT_EQ(s->Lock(&r, &part, plat::DDLOCK_WAIT), DD_OK);
        EXPECT_EQ(static_cast<uint8_t*>(part.surface),
                  static_cast<uint8_t*>(whole.surface) + 2 * c.pitch + c.format.bitCount / 8);
        EXPECT_EQ(part.pitch, c.pitch);
        ASSERT_EQ(s->Unlock(&r), DD_OK);
    }
}

TEST_F(DDrawSurfaceTest, LockRectanglesMustLieInsideAndUnlockMustMatch) {
    plat::DrawSurface* s = MakePlain(16, 8);
    plat::SurfaceDesc d;
    const Rect bad[] = {
        {-1, 0, 4, 4}, {0, -1, 4, 4}, {0, 0, 17, 4}, {0, 0, 4, 9}, {4, 4, 4, 8}, {4, 4, 8, 4},
        {5, 0, 4, 4},
    };
    for (const Rect& r : bad) {
        EXPECT_EQ(s->Lock(&r, &d, plat::DDLOCK_WAIT), plat::DDERR_INVALIDRECT)
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_EQ(s->Unlock(nullptr), plat::DDERR_NOTLOCKED);
    EXPECT_EQ(s->Lock(nullptr, &d, plat::DDLOCK_READONLY | plat::DDLOCK_WRITEONLY),
              plat::DDERR_INVALIDPARAMS);

    const Rect r = {2, 1, 10, 7};
    ASSERT_EQ(s->Lock(&r, &d, plat::DDLOCK_WAIT), DD_OK);
    EXPECT_EQ(s->Lock(&r, &d, plat::DDLOCK_WAIT), plat::DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Lock(nullptr, &d, plat::DDLOCK_WAIT), plat::DDERR_SURFACEBUSY);
    const Rect other = {2, 1, 10, 6};
    EXPECT_EQ(s->Unlock(&other), plat::DDERR_INVALIDRECT);
    EXPECT_EQ(s->Unlock(nullptr), plat::DDERR_INVALIDRECT);
    EXPECT_EQ(s->Unlock(&r), DD_OK);
    EXPECT_EQ(s->Unlock(&r), plat::DDERR_NOTLOCKED);

    // A whole-surface lock is ended by null or by the whole rectangle.
    const Rect whole = {0, 0, 16, 8};
    ASSERT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    EXPECT_EQ(s->Unlock(&whole), DD_OK);
    ASSERT_EQ(s->Lock(&whole, &d, 0), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);
}

TEST_F(DDrawSurfaceTest, DeviceContextHoldsTheSurfaceLikeALock) {
    plat::DrawSurface* s = MakePlain(8, 8);
    plat::DrawSurface* other = MakePlain(8, 8);
    plat::DeviceContext* dc = nullptr;
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    plat::SurfaceDesc d;
    plat::DeviceContext* second = nullptr;
    EXPECT_EQ(s->GetDC(&second), plat::DDERR_DCALREADYCREATED);
    EXPECT_EQ(s->Lock(nullptr, &d, 0), plat::DDERR_SURFACEBUSY);
    EXPECT_EQ(other->BltFast(0, 0, s, nullptr, 0), plat::DDERR_SURFACEBUSY);
    const plat::BltFx fx = {0x1234, 0};
    EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx), plat::DDERR_SURFACEBUSY);
    EXPECT_FALSE(plat::DeleteDC(dc));  // a surface's DC goes back through ReleaseDC
    EXPECT_EQ(other->ReleaseDC(dc), plat::DDERR_NODC);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(s->ReleaseDC(dc), plat::DDERR_NODC);

    ASSERT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    EXPECT_EQ(s->GetDC(&dc), plat::DDERR_SURFACEBUSY);
    EXPECT_EQ(dc, nullptr);
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);

    // Z buffers give no DC.
    plat::DrawSurface* z = Make(8, 8, plat::DDSCAPS_ZBUFFER | plat::DDSCAPS_SYSTEMMEMORY, Z16());
    EXPECT_EQ(z->GetDC(&dc), plat::DDERR_UNSUPPORTED);
}

TEST_F(DDrawSurfaceTest, GuardBandsCatchWritesPastThePixels) {
    plat::SetSurfacePitchPadding(8);
    plat::DrawSurface* s = MakePlain(5, 4);
    plat::SurfaceDesc d;
    ASSERT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    auto* p = static_cast<uint8_t*>(d.surface);
    // The last row's padding belongs to the surface; one byte further does not.
    p[d.pitch * 4 - 1] = 0x11;
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(plat::SurfaceGuardViolations(), 0u);

    ASSERT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    p = static_cast<uint8_t*>(d.surface);
    p[d.pitch * 4] = 0x11;
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
    EXPECT_EQ(plat::SurfaceGuardViolations(), 1u);

    // A write before the first pixel, found when the surface goes.
    ASSERT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    static_cast<uint8_t*>(d.surface)[-1] = 0x22;
    s->Release();
    made_.clear();
    EXPECT_EQ(plat::SurfaceGuardViolations(), 2u);
    plat::ResetDDrawTestControls();  // the fixture's end check expects none
}

TEST_F(DDrawSurfaceTest, LostVideoSurfacesRefuseAccessUntilRestoredWithPoison) {
    plat::DrawSurface* video = MakePlain(4, 4, Rgb565(), plat::DDSCAPS_VIDEOMEMORY);
    plat::DrawSurface* system = MakePlain(4, 4, Rgb565(), plat::DDSCAPS_SYSTEMMEMORY);
    WriteAll(video, std::vector<uint32_t>(16, 0x1234));
    EXPECT_EQ(plat::LoseVideoMemorySurfaces(), 1);

    EXPECT_EQ(video->IsLost(), plat::DDERR_SURFACELOST);
    EXPECT_EQ(system->IsLost(), DD_OK);
    plat::SurfaceDesc d;
    EXPECT_EQ(video->Lock(nullptr, &d, 0), plat::DDERR_SURFACELOST);
    plat::DeviceContext* dc = nullptr;
    EXPECT_EQ(video->GetDC(&dc), plat::DDERR_SURFACELOST);
    EXPECT_EQ(system->BltFast(0, 0, video, nullptr, 0), plat::DDERR_SURFACELOST);
    EXPECT_EQ(video->BltFast(0, 0, system, nullptr, 0), plat::DDERR_SURFACELOST);

    EXPECT_EQ(video->Restore(), DD_OK);
    EXPECT_EQ(video->IsLost(), DD_OK);
    const uint32_t poison = plat::kRestoredSurfacePoisonByte * 0x0101u;
    EXPECT_EQ(ReadAll(video), std::vector<uint32_t>(16, poison));
    // Restoring a surface that is not lost changes nothing.
    WriteAll(system, std::vector<uint32_t>(16, 0x4321));
    EXPECT_EQ(system->Restore(), DD_OK);
    EXPECT_EQ(ReadAll(system), std::vector<uint32_t>(16, 0x4321));
}

TEST_F(DDrawSurfaceTest, InjectedFailuresHitTheNextCallsOnly) {
    const plat::PixelFormat f = Rgb565();
    const plat::SurfaceDesc desc = Desc(4, 4, plat::DDSCAPS_OFFSCREENPLAIN, &f);
    plat::DrawSurface* s = nullptr;
    plat::FailNextSurfaceCreates(1);
    EXPECT_EQ(dd_->CreateSurface(&desc, &s), plat::DDERR_OUTOFMEMORY);
    s = MakePlain(4, 4);

    plat::SurfaceDesc d;
    plat::FailNextSurfaceLocks(2);
    EXPECT_EQ(s->Lock(nullptr, &d, 0), plat::DDERR_GENERIC);
    EXPECT_EQ(s->Lock(nullptr, &d, 0), plat::DDERR_GENERIC);
    EXPECT_EQ(s->Lock(nullptr, &d, 0), DD_OK);
    EXPECT_EQ(s->Unlock(nullptr), DD_OK);

    plat::DeviceContext* dc = nullptr;
    plat::FailNextSurfaceGetDCs(1);
    EXPECT_EQ(s->GetDC(&dc), plat::DDERR_GENERIC);
    ASSERT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
}

TEST_F(DDrawSurfaceTest, CallLogRecordsOperationsWithSurfaceAndResult) {
    plat::StartDDrawCallLog();
    plat::DrawSurface* s = MakePlain(8, 8, Rgb565(), plat::DDSCAPS_VIDEOMEMORY);
    const uint32_t id = plat::SurfaceSerial(s);
    const Rect r = {1, 1, 3, 3};
    plat::SurfaceDesc d;
    s->Lock(&r, &d, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY);
    s->Lock(&r, &d, 0);
    s->Unlock(&r);
    s->Release();
    made_.clear();

    const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_STREQ(calls[0].op, "CreateSurface");
    EXPECT_EQ(calls[0].surface, id);
    EXPECT_EQ(calls[0].caps, plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_VIDEOMEMORY);
    EXPECT_STREQ(calls[1].op, "Lock");
    EXPECT_EQ(calls[1].flags, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY);
    EXPECT_TRUE(calls[1].hasRect);
    EXPECT_EQ(calls[1].rect.right, 3);
    EXPECT_EQ(calls[1].result, DD_OK);
    EXPECT_STREQ(calls[2].op, "Lock");
    EXPECT_EQ(calls[2].result, plat::DDERR_SURFACEBUSY);
    EXPECT_STREQ(calls[3].op, "Unlock");
    EXPECT_STREQ(calls[4].op, "Release");
    EXPECT_EQ(calls[4].surface, id);
    plat::StopDDrawCallLog();
}

TEST_F(DDrawSurfaceTest, ZBufferAttachesOnceAndGoesWithItsSurface) {
    plat::DrawSurface* target = MakePlain(8, 8, Rgb565(), 0);
    const plat::SurfaceDesc zd = Desc(8, 8, plat::DDSCAPS_ZBUFFER | plat::DDSCAPS_VIDEOMEMORY, nullptr);
    plat::SurfaceDesc zdesc = zd;
    zdesc.flags |= plat::DDSD_PIXELFORMAT;
    zdesc.pixelFormat = Z16();
    plat::DrawSurface* z = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&zdesc, &z), DD_OK);
    plat::DrawSurface* wrongSize = Make(4, 8, plat::DDSCAPS_ZBUFFER, Z16());
    plat::DrawSurface* plain = MakePlain(8, 8);

    EXPECT_EQ(target->AddAttachedSurface(wrongSize), plat::DDERR_CANNOTATTACHSURFACE);
    EXPECT_EQ(target->AddAttachedSurface(plain), plat::DDERR_CANNOTATTACHSURFACE);
    ASSERT_EQ(target->AddAttachedSurface(z), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(z), plat::DDERR_CANNOTATTACHSURFACE);

    plat::SurfaceCaps wanted = {plat::DDSCAPS_ZBUFFER, 0};
    plat::DrawSurface* found = nullptr;
    ASSERT_EQ(target->GetAttachedSurface(&wanted, &found), DD_OK);
    EXPECT_EQ(found, z);
    found->Release();

    const plat::BltFx fx = {0, 0xFFFF};
    EXPECT_EQ(z->Blt(nullptr, nullptr, nullptr, plat::DDBLT_DEPTHFILL | plat::DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(ReadAll(z), std::vector<uint32_t>(64, 0xFFFF));
    EXPECT_EQ(z->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, plat::DDBLT_DEPTHFILL, &fx), plat::DDERR_INVALIDPARAMS);

    // The attachment keeps the Z buffer alive after its creator lets go.
    const size_t live = plat::LiveSurfaceCount();
    EXPECT_EQ(z->Release(), 1u);
    EXPECT_EQ(plat::LiveSurfaceCount(), live);
    EXPECT_EQ(target->DeleteAttachedSurface(0, plain), plat::DDERR_SURFACENOTATTACHED);
    // Releasing the surface releases its Z buffer.
    target->Release();
    made_.erase(std::find(made_.begin(), made_.end(), target));
    EXPECT_EQ(plat::LiveSurfaceCount(), live - 2);
}

TEST_F(DDrawSurfaceTest, ColorKeyIsSetClearedAndDescribed) {
    plat::DrawSurface* s = MakePlain(4, 4);
    plat::ColorKey key;
    EXPECT_EQ(s->GetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DDERR_NOCOLORKEY);
    const plat::ColorKey set = {0x1F, 0x1F};
    EXPECT_EQ(s->SetColorKey(plat::DDCKEY_SRCBLT, &set), DD_OK);
    ASSERT_EQ(s->GetColorKey(plat::DDCKEY_SRCBLT, &key), DD_OK);
    EXPECT_EQ(key.low, 0x1Fu);
    plat::SurfaceDesc d;
    s->GetSurfaceDesc(&d);
    EXPECT_TRUE(d.flags & plat::DDSD_CKSRCBLT);
    EXPECT_EQ(d.srcBltKey.high, 0x1Fu);
    EXPECT_EQ(s->SetColorKey(plat::DDCKEY_SRCBLT, nullptr), DD_OK);
    EXPECT_EQ(s->GetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DDERR_NOCOLORKEY);
    EXPECT_EQ(s->SetColorKey(0x2, &set), plat::DDERR_INVALIDPARAMS);
}

TEST_F(DDrawSurfaceTest, PlainSurfacesWithoutFormatTakeTheDisplays) {
    const plat::PixelFormat f565 = Rgb565();
    plat::OverrideDisplayFormat(&f565);
    plat::SurfaceDesc mode;
    ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.pixelFormat.bitCount, 16u);
    const plat::SurfaceDesc d = Desc(4, 4, plat::DDSCAPS_OFFSCREENPLAIN);
    plat::DrawSurface* s = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&d, &s), DD_OK);
    made_.push_back(s);
    plat::SurfaceDesc got;
    s->GetSurfaceDesc(&got);
    EXPECT_EQ(got.pixelFormat.redMask, 0xF800u);
    EXPECT_EQ(got.pixelFormat.bitCount, 16u);
    // New surfaces start black.
    EXPECT_EQ(ReadAll(s), std::vector<uint32_t>(16, 0));
}

}  // namespace
