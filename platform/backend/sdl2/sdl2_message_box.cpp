#include "platform/backend/sdl2/sdl2_message_box.h"

#include <algorithm>
#include <string>

#include "platform/core/text_encoding.h"
#include "platform/font/gdi_font.h"
#include "platform/gdi/gdi.h"

namespace plat {

namespace {

constexpr uint32_t kBackground = 0x00F0F0F0;
constexpr uint32_t kTextColour = 0x00202020;
constexpr uint32_t kButtonFace = 0x00E1E1E1;
constexpr uint32_t kButtonEdge = 0x00ADADAD;
constexpr uint32_t kFocusEdge = 0x000078D7;
constexpr int kMargin = 24;
constexpr int kButtonGap = 10;
constexpr int kMinButtonWidth = 88;

bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A font selected into a memory device context for the box's lifetime.
class BoxFont {
public:
    BoxFont() {
        dc_ = CreateCompatibleDC(nullptr);
        font_ = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, nullptr);
        if (dc_ != nullptr && font_ != nullptr) {
            previous_ = SelectObject(dc_, font_);
            ok_ = GetTextMetricsA(dc_, &metrics_);
        }
    }
    ~BoxFont() {
        if (dc_ != nullptr && font_ != nullptr) SelectObject(dc_, previous_);
        if (font_ != nullptr) DeleteObject(font_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    BoxFont(const BoxFont&) = delete;
    BoxFont& operator=(const BoxFont&) = delete;

    bool ok() const { return ok_; }
    const TextMetric& metrics() const { return metrics_; }

    int Width(const std::string& text) {
        TextSize size{};
        if (!GetTextExtentPoint32A(dc_, text.data(), static_cast<int32_t>(text.size()), &size)) {
            return 0;
        }
        return size.cx;
    }

    // Draws text with its baseline at y, blending the glyphs' coverage over what is there.
    void Draw(std::vector<uint32_t>& pixels, int width, int height, int x, int baseline,
              const std::string& text, uint32_t colour) {
        static const Mat2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        std::vector<uint8_t> bitmap;
        for (size_t i = 0; i < text.size();) {
            uint32_t code = static_cast<uint8_t>(text[i]);
            if (IsLeadByte(static_cast<uint8_t>(code)) && i + 1 < text.size()) {
                code = code << 8 | static_cast<uint8_t>(text[i + 1]);
                i += 2;
            } else {
                i += 1;
            }
            GlyphMetrics gm{};
            const uint32_t size =
                GetGlyphOutlineA(dc_, code, GGO_GRAY8_BITMAP, &gm, 0, nullptr, &kIdentity);
            if (size == GDI_ERROR) continue;
            if (size > 0) {
                bitmap.assign(size, 0);
                if (GetGlyphOutlineA(dc_, code, GGO_GRAY8_BITMAP, &gm, size, bitmap.data(),
                                     &kIdentity) != GDI_ERROR) {
                    const int pitch = static_cast<int>((gm.blackBoxX + 3) / 4 * 4);
                    const int left = x + gm.glyphOrigin.x;
                    const int top = baseline - gm.glyphOrigin.y;
                    for (int gy = 0; gy < static_cast<int>(gm.blackBoxY); ++gy) {
                        const int py = top + gy;
                        if (py < 0 || py >= height) continue;
                        for (int gx = 0; gx < static_cast<int>(gm.blackBoxX); ++gx) {
                            const int px = left + gx;
                            if (px < 0 || px >= width) continue;
                            const uint32_t level = std::min<uint32_t>(bitmap[gy * pitch + gx], 64);
                            if (level == 0) continue;
                            uint32_t& d = pixels[static_cast<size_t>(py) * width + px];
                            uint32_t out = 0;
                            for (int shift : {0, 8, 16}) {
                                const uint32_t a = (colour >> shift) & 0xFF;
                                const uint32_t b = (d >> shift) & 0xFF;
                                out |= ((a * level + b * (64 - level)) / 64) << shift;
                            }
                            d = out;
                        }
                    }
                }
            }
            x += gm.cellIncX;
        }
    }

private:
    DeviceContext* dc_ = nullptr;
    Font* font_ = nullptr;
    Font* previous_ = nullptr;
    TextMetric metrics_{};
    bool ok_ = false;
};

struct Layout {
    std::vector<std::string> lines;
    std::vector<SDL_Rect> buttons;
    int width = 0;
    int height = 0;
    int lineHeight = 0;
};

Layout LayOut(BoxFont& font, const char* text,
              const std::vector<DrawnMessageBoxButton>& buttons) {
    Layout layout;
    const std::string all = text != nullptr ? text : "";
    // '\n' is never a trail byte of Shift-JIS, so splitting on it keeps characters whole.
    size_t start = 0;
    for (;;) {
        const size_t end = all.find('\n', start);
        std::string line = all.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        layout.lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const TextMetric& tm = font.metrics();
    layout.lineHeight = tm.height + 4;
    int textWidth = 0;
    for (const std::string& line : layout.lines) textWidth = std::max(textWidth, font.Width(line));
    const int buttonHeight = tm.height + 14;
    int buttonsWidth = 0;
    std::vector<int> widths;
    for (const DrawnMessageBoxButton& b : buttons) {
        widths.push_back(std::max(kMinButtonWidth, font.Width(b.label != nullptr ? b.label : "") + 28));
        buttonsWidth += widths.back();
    }
    if (!buttons.empty()) buttonsWidth += kButtonGap * static_cast<int>(buttons.size() - 1);
    layout.width = std::min(std::max(std::max(textWidth, buttonsWidth) + 2 * kMargin, 240), 4096);
    const int textHeight = layout.lineHeight * static_cast<int>(layout.lines.size());
    layout.height = std::min(kMargin + textHeight + kMargin + buttonHeight + kMargin / 2 + 4, 4096);
    // Buttons right-aligned in a row at the bottom.
    int x = layout.width - kMargin / 2 - buttonsWidth;
    const int y = layout.height - kMargin / 2 - buttonHeight;
    for (int w : widths) {
        layout.buttons.push_back(SDL_Rect{x, y, w, buttonHeight});
        x += w + kButtonGap;
    }
    return layout;
}

void FillRect(std::vector<uint32_t>& pixels, int width, int height, const SDL_Rect& r,
              uint32_t colour) {
    for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, height); ++y) {
        for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, width); ++x) {
            pixels[static_cast<size_t>(y) * width + x] = colour;
        }
    }
}

void Paint(BoxFont& font, const Layout& layout, const std::vector<DrawnMessageBoxButton>& buttons,
           int focus, std::vector<uint32_t>& pixels) {
    const int w = layout.width, h = layout.height;
    pixels.assign(static_cast<size_t>(w) * h, kBackground);
    const TextMetric& tm = font.metrics();
    int baseline = kMargin + tm.ascent;
    for (const std::string& line : layout.lines) {
        font.Draw(pixels, w, h, kMargin, baseline, line, kTextColour);
        baseline += layout.lineHeight;
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        const SDL_Rect& r = layout.buttons[i];
        const bool focused = static_cast<int>(i) == focus;
        FillRect(pixels, w, h, r, focused ? kFocusEdge : kButtonEdge);
        const int inset = focused ? 2 : 1;
        FillRect(pixels, w, h, SDL_Rect{r.x + inset, r.y + inset, r.w - 2 * inset, r.h - 2 * inset},
                 kButtonFace);
        const std::string label = buttons[i].label != nullptr ? buttons[i].label : "";
        const int labelX = r.x + (r.w - font.Width(label)) / 2;
        const int labelBaseline = r.y + (r.h - tm.height) / 2 + tm.ascent;
        font.Draw(pixels, w, h, labelX, labelBaseline, label, kTextColour);
    }
}

int FirstWith(const std::vector<DrawnMessageBoxButton>& buttons, bool escape) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (escape ? buttons[i].escapeKey : buttons[i].returnKey) return static_cast<int>(i);
    }
    return -1;
}

int ButtonAt(const Layout& layout, int x, int y) {
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        const SDL_Rect& r = layout.buttons[i];
        if (x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::vector<uint32_t> DrawMessageBoxPicture(const char* text,
                                            const std::vector<DrawnMessageBoxButton>& buttons,
                                            int focus, int* width, int* height) {
    BoxFont font;
    if (!font.ok()) return {};
    const Layout layout = LayOut(font, text, buttons);
    std::vector<uint32_t> pixels;
    Paint(font, layout, buttons, focus, pixels);
    if (width != nullptr) *width = layout.width;
    if (height != nullptr) *height = layout.height;
    return pixels;
}

bool ShowDrawnMessageBox(const char* text, const char* title,
                         const std::vector<DrawnMessageBoxButton>& buttons, int* pressed) {
    if (buttons.empty() || pressed == nullptr) return false;
    BoxFont font;
    if (!font.ok()) return false;
    const Layout layout = LayOut(font, text, buttons);
    const std::string utf8Title = SjisToUtf8(title != nullptr ? title : "");
    SDL_Window* window =
        SDL_CreateWindow(utf8Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         layout.width, layout.height, SDL_WINDOW_SHOWN);
    if (window == nullptr) return false;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, layout.width, layout.height, 32,
                                                          SDL_PIXELFORMAT_XRGB8888);
    if (picture == nullptr) {
        SDL_DestroyWindow(window);
        return false;
    }
    const Uint32 windowId = SDL_GetWindowID(window);
    int focus = std::max(FirstWith(buttons, false), 0);
    const int escape = FirstWith(buttons, true);
    std::vector<uint32_t> pixels;
    bool dirty = true;
    int answer = -2;  // -2 while waiting
    while (answer == -2) {
        if (dirty) {
            Paint(font, layout, buttons, focus, pixels);
            SDL_Surface* target = SDL_GetWindowSurface(window);
            if (target != nullptr) {
                SDL_LockSurface(picture);
                for (int y = 0; y < layout.height; ++y) {
                    std::copy_n(&pixels[static_cast<size_t>(y) * layout.width], layout.width,
                                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(picture->pixels) +
                                                            y * picture->pitch));
                }
                SDL_UnlockSurface(picture);
                SDL_BlitSurface(picture, nullptr, target, nullptr);
                SDL_UpdateWindowSurface(window);
            }
            dirty = false;
        }
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 100) == 0) continue;
        switch (e.type) {
            case SDL_WINDOWEVENT:
                if (e.window.windowID != windowId) break;
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                    answer = escape >= 0 ? buttons[escape].id : -1;
                } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                           e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    dirty = true;
                }
                break;
            case SDL_KEYDOWN: {
                if (e.key.windowID != windowId) break;
                const SDL_Keycode key = e.key.keysym.sym;
                const int count = static_cast<int>(buttons.size());
                if (key == SDLK_LEFT || (key == SDLK_TAB && (e.key.keysym.mod & KMOD_SHIFT))) {
                    focus = (focus + count - 1) % count;
                    dirty = true;
                } else if (key == SDLK_RIGHT || key == SDLK_TAB) {
                    focus = (focus + 1) % count;
                    dirty = true;
                } else if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE) {
                    answer = buttons[focus].id;
                } else if (key == SDLK_ESCAPE && escape >= 0) {
                    answer = buttons[escape].id;
                }
                break;
            }
            case SDL_MOUSEMOTION:
                if (e.motion.windowID == windowId) {
                    const int over = ButtonAt(layout, e.motion.x, e.motion.y);
                    if (over >= 0 && over != focus) {
                        focus = over;
                        dirty = true;
                    }
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.windowID == windowId && e.button.button == SDL_BUTTON_LEFT) {
                    const int hit = ButtonAt(layout, e.button.x, e.button.y);
                    if (hit >= 0) answer = buttons[hit].id;
                }
                break;
            default:
                break;
        }
    }
    SDL_FreeSurface(picture);
    SDL_DestroyWindow(window);
    *pressed = answer;
    return true;
}

}  // namespace plat
