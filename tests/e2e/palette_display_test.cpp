// The launcher on a 256-colour palette display.
//
// Wine keeps the system palette per process: a palette realized in the foreground changes only
// that program's own view of the system palette, and every program draws through one shared colour
// map of the X server. So another program's palette never changes the launcher's colours and the
// launcher's background realization finds nothing to repaint; what can be seen from outside is how
// the launcher looks. The driver renders the background as a palette-aware program does (palette
// realized in the foreground, device-dependent bitmap made through it), and the launcher must look
// the same at first, after another program has realized a palette of its own in the foreground,
// and after the launcher is activated again, and must live through both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_config.h"
#include "tests/e2e/launcher_test.h"
#include "tests/e2e/resource_bitmap.h"
#include "tests/e2e/screen_shot.h"
#include "tests/e2e/top_windows.h"

namespace e2e {
namespace {

bool IsPaletteDisplay() {
    HDC screen = GetDC(nullptr);
    bool palette = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
    ReleaseDC(nullptr, screen);
    return palette;
}

HPALETTE MakePalette(const std::vector<Rgb>& colours, bool reversedTwins) {
    std::vector<char> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = colours[reversedTwins ? 255 - i : i];
        BYTE change = reversedTwins ? 8 : 0;
        logical->palPalEntry[i] = {static_cast<BYTE>(c.r ^ change), static_cast<BYTE>(c.g ^ change),
                                   static_cast<BYTE>(c.b ^ change), 0};
    }
    return CreatePalette(logical);
}

// A popup window of the driver's own that shows a picture drawn through a palette.
class PaletteWindow {
  public:
    PaletteWindow(int x, int y, int width, int height, HPALETTE palette) : palette_(palette) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VelmoraE2EPalette";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "VelmoraE2EPalette", "palette", WS_POPUP | WS_VISIBLE, x, y,
                                  width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~PaletteWindow() {
        if (window_) DestroyWindow(window_);
        if (palette_) DeleteObject(palette_);
    }

    HWND Handle() const { return window_; }

    // Takes the foreground and realizes the palette there; returns the entries it changed.
    UINT RealizeInForeground() {
        SetForegroundWindow(window_);
        PumpMessages();
        HDC dc = GetDC(window_);
        HPALETTE old = SelectPalette(dc, palette_, FALSE);
        UINT changed = RealizePalette(dc);
        SelectPalette(dc, old, TRUE);
        ReleaseDC(window_, dc);
        return changed;
    }

    // Draws the packed bitmap as a palette-aware program does: a device-dependent bitmap made for
    // the screen with the palette realized, copied with the palette selected.
    void Draw(const std::vector<uint8_t>& packedDib) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(packedDib.data());
        const uint8_t* bits = packedDib.data() + info->bmiHeader.biSize + 256 * 4;
        HDC dc = GetDC(window_);
        HPALETTE old = SelectPalette(dc, palette_, FALSE);
        RealizePalette(dc);
        HBITMAP bitmap = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        BitBlt(dc, 0, 0, info->bmiHeader.biWidth, info->bmiHeader.biHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteDC(memory);
        DeleteObject(bitmap);
        SelectPalette(dc, old, TRUE);
        ReleaseDC(window_, dc);
        GdiFlush();
    }

  private:
    HWND window_ = nullptr;
    HPALETTE palette_ = nullptr;
};

class PaletteDisplay : public LauncherTest {
  protected:
    void SetUp() override {
        LauncherTest::SetUp();
        if (IsSkipped()) return;
        if (!IsPaletteDisplay()) {
            if (RequestedDepth() == 8) {
                FAIL() << "the 8-bit display offers no palette device (RASTERCAPS lacks "
                          "RC_PALETTE)";
            }
            GTEST_SKIP() << "not a palette display";
        }
    }
};

TEST_F(PaletteDisplay, OffersASystemPaletteOf256Entries) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
    ReleaseDC(nullptr, screen);
}

// Background samples (buttons left out) of a 500 by 420 client area at `origin`.
std::vector<Rgb> SampleBackground(POINT origin) {
    RECT area{origin.x, origin.y, origin.x + 500, origin.y + 420};
    ScreenShot shot(area);
    std::vector<Rgb> samples;
    for (int y = 1; y < 420; y += 5) {
        for (int x = 2; x < 500; x += 6) {
            bool inButton = (x >= 35 && x < 192 && y >= 30 && y < 143) ||
                            (x >= 385 && x < 490 && y >= 354 && y < 405);
            if (!inButton) samples.push_back(shot.At(origin.x + x, origin.y + y));
        }
    }
    return samples;
}

double Agreement(const std::vector<Rgb>& seen, const std::vector<Rgb>& reference) {
    size_t same = 0;
    for (size_t i = 0; i < seen.size() && i < reference.size(); ++i) {
        same += ColourDistance(seen[i], reference[i]) <= 8;
    }
    return reference.empty() ? 0 : static_cast<double>(same) / reference.size();
}

POINT ClientOrigin(HWND window) {
    RECT rect = ClientRectOnScreen(window);
    return {rect.left, rect.top};
}

TEST_F(PaletteDisplay, LauncherLooksRightAndLivesThroughAnotherProgramsPalette) {
    ResourceBitmap picture;
    std::vector<uint8_t> packedDib;
    std::string error;
    ASSERT_TRUE(picture.Load(LauncherSourcePath(), "BACKGROUND", &error, &packedDib)) << error;

    StartLauncher();
    HWND launcher = PassVideo();
    ASSERT_NE(launcher, nullptr) << "no launcher window appeared";
    // Side by side with the driver's reference picture at the screen's top-left corner.
    RECT frame{};
    GetWindowRect(launcher, &frame);
    SetWindowPos(launcher, nullptr, 512, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return ClientOrigin(launcher).x >= 512; }, 3000))
        << "the launcher window could not be moved aside";

    PaletteWindow reference(0, 0, 500, 420, MakePalette(picture.Colours(), false));
    reference.RealizeInForeground();
    reference.Draw(packedDib);
    std::vector<Rgb> expected;
    WaitUntil(
        [&] {
            expected = SampleBackground({0, 0});
            return Agreement(SampleBackground({0, 0}), expected) == 1.0;
        },
        2000);

    double agreement = 0;
    SetForegroundWindow(launcher);
    WaitUntil(
        [&] {
            return (agreement = Agreement(SampleBackground(ClientOrigin(launcher)), expected)) >=
                   0.98;
        },
        5000);
    EXPECT_GE(agreement, 0.98) << "only " << agreement * 100
                               << "% of the launcher's background looks like the picture drawn "
                                  "through its palette";

    // Another program realizes a different palette in the foreground.
    PaletteWindow rival(0, 430, 32, 32, MakePalette(picture.Colours(), true));
    EXPECT_GT(rival.RealizeInForeground(), 0u) << "the rival palette changed no system entries";
    WaitUntil(
        [&] {
            return (agreement = Agreement(SampleBackground(ClientOrigin(launcher)), expected)) >=
                   0.98;
        },
        3000);
    EXPECT_GE(agreement, 0.98) << "after another program realized its palette only "
                               << agreement * 100 << "% of the launcher's background is right";
    EXPECT_TRUE(session_->IsRunning()) << "the launcher ended on a palette change";

    // Activated again, it realizes its own palette and still looks the same.
    SetForegroundWindow(launcher);
    WaitUntil(
        [&] {
            return (agreement = Agreement(SampleBackground(ClientOrigin(launcher)), expected)) >=
                   0.98;
        },
        3000);
    EXPECT_GE(agreement, 0.98) << "after activation only " << agreement * 100
                               << "% of the launcher's background is right";
    EXPECT_TRUE(session_->IsRunning()) << "the launcher ended on activation";
}

}  // namespace
}  // namespace e2e
