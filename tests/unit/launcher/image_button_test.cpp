// The picture button with real windows: runs in the Windows tier only, and skips when the system
// cannot create windows (no display).
#ifdef _WIN32

#include "launcher/image_button.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kButtonId = 1002;

// A 3 by 2 bitmap file of 8 bits per pixel whose pixels all have the colour (red, 0, 0).
void WriteBitmapFile(const std::string& path, uint8_t red) {
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> bytes(offset + 4 * 2, 1);  // two rows of 4 bytes of colour 1
    const uint32_t fields[][2] = {{2, static_cast<uint32_t>(bytes.size())},
                                  {6, 0},
                                  {10, offset},
                                  {14, 40},
                                  {18, 3},
                                  {22, 2},
                                  {26, 1 | (8 << 16)}};
    for (const auto& [at, value] : fields) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    std::fill(bytes.begin() + 30, bytes.begin() + offset, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[54 + 4 + 2] = red;  // colour 1, stored blue, green, red
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// A popup parent that records the clicks of control kButtonId, placed away from the cursor, with
// the owner-drawn button "PIC" and a folder of PICU.bmp, PICD.bmp and PICX.bmp (no focus picture).
class ImageButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "image_button_" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(folder.c_str(), nullptr);
        for (const auto& [state, red] : {std::pair{"U", 0x10}, {"D", 0x20}, {"X", 0x30}}) {
            files.push_back(folder + "\\PIC" + state + ".bmp");
            WriteBitmapFile(files.back(), static_cast<uint8_t>(red));
        }

        POINT cursor{};
        ::GetCursorPos(&cursor);
        const int x = cursor.x > 300 ? 0 : 400;
        if (!parent.Create(nullptr, "host", WS_POPUP | WS_VISIBLE, {x, 0, x + 200, 100}, nullptr,
                           0))
            GTEST_SKIP() << "no display to create windows on";
        item = ::CreateWindowExA(0, "BUTTON", "PIC", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 5, 50,
                                 14, parent.m_hWnd, reinterpret_cast<HMENU>(kButtonId), nullptr,
                                 nullptr);
        ASSERT_NE(item, nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files) ::DeleteFileA(file.c_str());
        ::RemoveDirectoryA(folder.c_str());
    }

    void Attach(unsigned flags) {
        ASSERT_TRUE(button.AttachToItem(kButtonId, &parent, flags, folder.c_str()));
    }
    // Red level of the button's pixel (1, 1) once painted.
    int PaintedRed() {
        ::RedrawWindow(item, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = ::GetDC(item);
        const COLORREF colour = ::GetPixel(dc, 1, 1);
        ::ReleaseDC(item, dc);
        return colour == CLR_INVALID ? -1 : GetRValue(colour);
    }
    // The clicks the parent received since the last call.
    std::vector<WPARAM> TakeClicks() {
        std::vector<WPARAM> taken;
        taken.swap(parent.clicks);
        return taken;
    }

    class Parent : public CWnd {
      public:
        std::vector<WPARAM> clicks;
        HWND lastSender = nullptr;

      protected:
        const MessageMap* GetMessageMap() const override { return &messageMap; }
        static const MessageMap messageMap;

      private:
        // Records the command as it was sent, to check its parameters.
        void OnClicked(HWND sender) {
            clicks.push_back(GetCurrentMessage()->wParam);
            lastSender = sender;
        }
    };

    std::string folder;
    std::vector<std::string> files;
    Parent parent;
    HWND item = nullptr;
    ImageButton button;
};

const MessageMap ImageButtonTest::Parent::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnCommand<&Parent::OnClicked>(kButtonId, BN_CLICKED),
    };
    return MakeMessageMap(&CWnd::messageMap, entries);
}();

const std::vector<WPARAM> kOneClick{MAKEWPARAM(kButtonId, BN_CLICKED)};

TEST_F(ImageButtonTest, OptionalPicturesFailAloneAndAMissingUpPictureLeavesNone) {
    const std::string missing = folder + "\\NONE.bmp";
    EXPECT_FALSE(
        button.LoadFilePictures(files[0].c_str(), files[1].c_str(), nullptr, missing.c_str()));
    EXPECT_NE(button.Picture(ButtonPicture::Up), nullptr);
    EXPECT_NE(button.Picture(ButtonPicture::Down), nullptr);
    EXPECT_EQ(button.Picture(ButtonPicture::Disabled), nullptr);

    EXPECT_FALSE(button.LoadFilePictures(missing.c_str(), files[1].c_str(), nullptr, nullptr));
    EXPECT_EQ(button.Picture(ButtonPicture::Up), nullptr);
    EXPECT_EQ(button.Picture(ButtonPicture::Down), nullptr) << "nothing stays without an up";

    const std::string elsewhere = folder + "\\none";
    EXPECT_FALSE(button.AttachToItem(kButtonId, &parent, 0, elsewhere.c_str()));
    EXPECT_EQ(button.m_hWnd, item) << "the control stays taken over, without pictures";
}

TEST_F(ImageButtonTest, TakesItsUpPicturesSizeAndPaintsThePictureOfItsState) {
    Attach(0);
    RECT rect{};
    ::GetWindowRect(item, &rect);
    EXPECT_EQ(rect.right - rect.left, 3);
    EXPECT_EQ(rect.bottom - rect.top, 2);

    button.SetFocus();
    EXPECT_EQ(PaintedRed(), 0x10) << "no focus picture: up";
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(PaintedRed(), 0x20) << "down while pressed";
    button.SendMessage(WM_LBUTTONUP, 0, 0);
    ::EnableWindow(parent.m_hWnd, FALSE);
    EXPECT_EQ(PaintedRed(), 0x30) << "disabled while its parent is disabled";
    ::EnableWindow(parent.m_hWnd, TRUE);
    EXPECT_EQ(PaintedRed(), 0x10);
}

TEST_F(ImageButtonTest, MouseDoubleClickAndSpaceEachNotifyOneClick) {
    Attach(IBS_HOVERWATCH);
    button.SetFocus();
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(::GetCapture(), item);
    EXPECT_FALSE(button.IsWatchRunning()) << "no watch while pressed";
    EXPECT_TRUE(TakeClicks().empty()) << "no click before the release";
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 500));  // wherever it happens
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(button.IsWatchRunning());
    EXPECT_EQ(TakeClicks(), kOneClick);
    EXPECT_EQ(parent.lastSender, item);

    // A quick second press arrives as a double-click.
    button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    EXPECT_TRUE(button.IsPressed());
    button.SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(TakeClicks(), kOneClick);

    button.SendMessage(WM_KEYDOWN, 'A', 0);
    button.SendMessage(WM_KEYUP, 'A', 0);
    button.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(button.IsPressed());
    button.SendMessage(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(TakeClicks(), kOneClick) << "Space clicks, other keys do nothing";
    EXPECT_FALSE(button.IsToggledOn());
}

TEST_F(ImageButtonTest, ToggleModeLatchesEveryOtherClickAndShowsDownWhileLatched) {
    Attach(IBS_TOGGLE);
    button.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    button.SendMessage(WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(button.IsToggledOn());
    EXPECT_EQ(PaintedRed(), 0x20);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    button.SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(button.IsToggledOn());
    EXPECT_EQ(PaintedRed(), 0x10);
    EXPECT_EQ(TakeClicks().size(), 2u);
    EXPECT_FALSE(button.IsWatchRunning()) << "the watch runs only with IBS_HOVERWATCH";
}

TEST_F(ImageButtonTest, DestroyingTheWindowReleasesThePictures) {
    Attach(0);
    gfx::DibSurface* up = button.Picture(ButtonPicture::Up);
    ASSERT_NE(up, nullptr);
    up->AddRef();
    ::DestroyWindow(parent.m_hWnd);
    EXPECT_EQ(button.Picture(ButtonPicture::Up), nullptr);
    EXPECT_EQ(up->GetRefCount(), 1) << "the button let go of its reference";
    up->Release();
}

}  // namespace

#endif  // _WIN32
