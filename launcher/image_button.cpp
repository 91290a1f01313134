#include "launcher/image_button.h"

#include <new>
#include <string>

#include "graphics/image/load_flags.h"
#include "graphics/platform/win32/native_drawing_handles.h"
#include "launcher/framework/c_paint_dc.h"
#include "launcher/framework/c_win_app.h"

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 100;

// Loads one picture; null when it did not load (a surface without a format holds nothing).
gfx::DibSurface* LoadPicture(bool fromResource, const char* name) {
    auto* surface = new (std::nothrow) gfx::DibSurface;
    if (!surface) return nullptr;
    if (fromResource) {
        surface->Load(name, gfx::LOAD_FROM_RESOURCE | gfx::LOAD_DECODE, CWinApp::ResourceHandle(),
                      MAKEINTRESOURCEA(2), nullptr, 0, nullptr);
    } else {
        surface->Load(name, gfx::LOAD_FROM_FILE | gfx::LOAD_DECODE, nullptr, nullptr, nullptr, 0,
                      nullptr);
    }
    if (surface->GetFormat() == 0) {
        surface->Release();
        return nullptr;
    }
    return surface;
}

void ReleasePicture(gfx::DibSurface*& picture) {
    if (picture) picture->Release();
    picture = nullptr;
}

}  // namespace

const MessageMap ImageButton::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<WM_PAINT, &ImageButton::OnPaint>(),
        OnMessage<WM_ERASEBKGND, &ImageButton::OnEraseBackground>(),
        OnMessage<WM_KEYDOWN, &ImageButton::OnKeyDown>(),
        OnMessage<WM_KEYUP, &ImageButton::OnKeyUp>(),
        OnMessage<WM_LBUTTONDOWN, &ImageButton::OnLeftButtonDown>(),
        // The button class underneath accepts double-clicks: a quick second press arrives as
        // WM_LBUTTONDBLCLK and must press the button all the same, or its click is lost.
        OnMessage<WM_LBUTTONDBLCLK, &ImageButton::OnLeftButtonDown>(),
        OnMessage<WM_LBUTTONUP, &ImageButton::OnLeftButtonUp>(),
        OnMessage<WM_KILLFOCUS, &ImageButton::OnKillFocus>(),
        OnMessage<WM_MOUSEMOVE, &ImageButton::OnMouseMove>(),
        OnMessage<WM_SETFOCUS, &ImageButton::OnSetFocus>(),
        OnMessage<WM_TIMER, &ImageButton::OnTimer>(),
        OnMessage<WM_SETCURSOR, &ImageButton::OnSetCursor>(),
        OnMessage<WM_ENABLE, &ImageButton::OnEnable>(),
        OnMessage<WM_DESTROY, &ImageButton::OnDestroyWindow>(),
    };
    return MakeMessageMap(&CWnd::messageMap, entries);
}();

ImageButton::ImageButton() : cursor(::LoadCursorA(nullptr, IDC_ARROW)) {}

ImageButton::~ImageButton() {
    // Destroyed here, while this class still handles WM_DESTROY, so the pictures are released.
    if (m_hWnd) DestroyWindow();
    ReleasePictures();
}

BOOL ImageButton::CreateButton(const char* text, DWORD style, const RECT& rect, CWnd* parent,
                               UINT id, unsigned flags, const char* folder) {
    if (!Create(nullptr, text, style, rect, parent, id)) return FALSE;
    SetModeFlags(flags);
    if (text && *text) {
        LoadNamedPictures(text, folder, true);
        if (upPicture) FitToPicture();
    }
    return TRUE;
}

BOOL ImageButton::AttachToItem(UINT id, CWnd* parent, unsigned flags, const char* folder) {
    if (!SubclassDlgItem(id, parent)) return FALSE;
    const std::string text = GetWindowText();
    SetModeFlags(flags);
    // A control that already holds the focus when it is taken over (a dialog restores its focus
    // to its first control when a window it owned closes) gets no WM_SETFOCUS of its own: watch
    // it from here, so that the focus leaves it as it would after any other way in.
    if (hoverWatch && ::GetFocus() == m_hWnd) StartWatch();
    LoadNamedPictures(text, folder, false);
    if (!upPicture) return FALSE;
    FitToPicture();
    return TRUE;
}

void ImageButton::DrawOverlay(HDC) {}

void ImageButton::SetModeFlags(unsigned flags) {
    toggleMode = (flags & IBS_TOGGLE) != 0;
    focusOnHover = (flags & IBS_HOVERFOCUS) != 0;
    hoverWatch = (flags & IBS_HOVERWATCH) != 0;
}

BOOL ImageButton::LoadNamedPictures(const std::string& text, const char* folder,
                                    bool upperCaseExtension) {
    const std::array<std::string, 4> names =
        folder ? PictureFilePaths(folder, text, upperCaseExtension) : PictureResourceNames(text);
    const char* pointers[4] = {names[0].c_str(), names[1].c_str(), names[2].c_str(),
                               names[3].c_str()};
    return LoadPictures(folder == nullptr, pointers);
}

BOOL ImageButton::LoadFilePictures(const char* up, const char* down, const char* focus,
                                   const char* disabled) {
    const char* names[4] = {up, down, focus, disabled};
    return LoadPictures(false, names);
}

BOOL ImageButton::LoadResourcePictures(const char* up, const char* down, const char* focus,
                                       const char* disabled) {
    const char* names[4] = {up, down, focus, disabled};
    return LoadPictures(true, names);
}

BOOL ImageButton::LoadPictures(bool fromResource, const char* const names[4]) {
    ReleasePictures();
    upPicture = names[0] ? LoadPicture(fromResource, names[0]) : nullptr;
    if (!upPicture) return FALSE;
    gfx::DibSurface** optional[3] = {&downPicture, &focusPicture, &disabledPicture};
    BOOL all = TRUE;
    for (int i = 0; i < 3; ++i) {
        if (!names[i + 1]) continue;
        *optional[i] = LoadPicture(fromResource, names[i + 1]);
        if (!*optional[i]) all = FALSE;
    }
    return all;
}

void ImageButton::ReleasePictures() {
    ReleasePicture(upPicture);
    ReleasePicture(downPicture);
    ReleasePicture(focusPicture);
    ReleasePicture(disabledPicture);
}

void ImageButton::FitToPicture() {
    if (!upPicture) return;
    SetWindowPos(nullptr, 0, 0, upPicture->GetWidth(), upPicture->GetHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

gfx::DibSurface* ImageButton::Picture(ButtonPicture which) const {
    switch (which) {
        case ButtonPicture::Up:
            return upPicture;
        case ButtonPicture::Down:
            return downPicture;
        case ButtonPicture::Focus:
            return focusPicture;
        case ButtonPicture::Disabled:
            return disabledPicture;
        case ButtonPicture::None:
            break;
    }
    return nullptr;
}

bool ImageButton::IsEffectivelyEnabled() const {
    // Up to the top-level window: a disabled dialog disables the pictures of its buttons.
    for (HWND window = m_hWnd; window;) {
        if (!::IsWindowEnabled(window)) return false;
        if (::GetWindowLongA(window, GWL_STYLE) & WS_POPUP) return true;
        HWND parent = ::GetParent(window);
        if (!parent) return true;
        window = parent;
    }
    return true;
}

void ImageButton::OnPaint() {
    CPaintDC dc(this);
    ButtonState state;
    state.enabled = IsEffectivelyEnabled();
    state.pressed = pressed;
    state.toggledOn = toggledOn;
    state.toggleMode = toggleMode;
    state.focused = GetFocus() == m_hWnd;
    const LoadedPictures loaded{upPicture != nullptr, downPicture != nullptr,
                                focusPicture != nullptr, disabledPicture != nullptr};
    gfx::DibSurface* picture = Picture(ChooseButtonPicture(state, loaded));
    if (!picture) return;

    const gfx::DeviceContextHandle memory = picture->AcquireDC();

    HPALETTE palette = drawingPalette;
    if (!palette) {
        gfx::Palette* own = upPicture->GetPalette();
        if (own) palette = gfx::ToNativePalette(own->GetHandle());
    }
    HPALETTE previousPalette = nullptr;
    if (palette) {
        previousPalette = dc.SelectPalette(palette, TRUE);
        dc.RealizePalette();
    }

    // A surface that cannot hand out its context (locked elsewhere) is left out this time.
    if (memory) {
        ::BitBlt(dc, 0, 0, picture->GetWidth(), picture->GetHeight(), gfx::ToNativeDC(memory), 0, 0,
                 SRCCOPY);
        picture->ReleaseDC();
    }

    DrawOverlay(dc);

    if (palette) dc.SelectPalette(previousPalette, TRUE);
}

void ImageButton::RepaintNow() {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void ImageButton::NotifyClicked() {
    const WORD id = LOWORD(::GetWindowLongA(m_hWnd, GWL_ID));
    ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void ImageButton::StartWatch() {
    // The parent's command handler may have destroyed this window; a timer for no window would
    // become a thread timer.
    if (!m_hWnd || !hoverWatch || watchRunning) return;
    watchRunning = TRUE;
    SetTimer(kWatchTimer, kWatchIntervalMs);
}

void ImageButton::StopWatch() {
    if (!watchRunning) return;
    if (m_hWnd) KillTimer(kWatchTimer);
    watchRunning = FALSE;
}

void ImageButton::OnKeyDown(UINT key) {
    if (key != VK_SPACE) return;
    StopWatch();
    pressed = TRUE;
    RepaintNow();
}

void ImageButton::OnKeyUp(UINT key) {
    if (key != VK_SPACE) return;
    if (toggleMode) toggledOn = !toggledOn;
    pressed = FALSE;
    RepaintNow();
    NotifyClicked();
    StartWatch();
}

void ImageButton::OnLeftButtonDown() {
    StopWatch();
    SetFocus();
    SetCapture();
    pressed = TRUE;
    RepaintNow();
}

void ImageButton::OnLeftButtonUp() {
    if (toggleMode) toggledOn = !toggledOn;
    ::ReleaseCapture();
    pressed = FALSE;
    RepaintNow();
    NotifyClicked();
    StartWatch();
}

LRESULT ImageButton::OnKillFocus() {
    const LRESULT result = Default();
    RepaintNow();
    if (hoverWatch) StopWatch();
    return result;
}

LRESULT ImageButton::OnMouseMove() {
    if (focusOnHover) {
        SetFocus();
        RepaintNow();
    }
    return Default();
}

LRESULT ImageButton::OnSetFocus() {
    const LRESULT result = Default();
    if (hoverWatch) StartWatch();
    return result;
}

LRESULT ImageButton::OnTimer(UINT_PTR timer) {
    if (timer == kWatchTimer) {
        RECT rect;
        POINT point;
        GetWindowRect(&rect);
        ::GetCursorPos(&point);
        if (!::PtInRect(&rect, point)) {
            ::SetFocus(nullptr);
            StopWatch();
        }
    }
    return Default();
}

LRESULT ImageButton::OnSetCursor() {
    if (!cursor) return Default();
    ::SetCursor(cursor);
    return TRUE;
}

LRESULT ImageButton::OnEnable() {
    const LRESULT result = Default();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return result;
}

void ImageButton::OnDestroyWindow() {
    OnDestroy();
    ReleasePictures();
    // The window's timers go with it.
    watchRunning = FALSE;
}
