#include "launcher/launcher_dialog.h"

#include <string>

#include "launcher/bitmap_palette.h"
#include "launcher/core/launch_actions.h"
#include "launcher/framework/c_client_dc.h"
#include "launcher/framework/c_paint_dc.h"
#include "launcher/framework/c_win_app.h"
#include "launcher/resource_ids.h"
#include "launcher/video_dialog.h"

namespace {

constexpr int kClientWidth = 500;
constexpr int kClientHeight = 420;
// The background is copied as a larger block; the client area clips it.
constexpr int kBackgroundBlockWidth = 640;
constexpr int kBackgroundBlockHeight = 480;

struct ButtonPlace {
    int id;
    int x, y, width, height;
};

constexpr ButtonPlace kButtonPlaces[] = {
    {IDOK, 37, 32, 153, 48},
    {IDC_RUN, 38, 95, 133, 46},
    {IDCANCEL, 387, 356, 101, 47},
};

BOOL CALLBACK InvalidateChild(HWND child, LPARAM) {
    ::InvalidateRect(child, nullptr, TRUE);
    return TRUE;
}

}  // namespace

void InvalidateWithChildren(HWND hwnd) {
    ::InvalidateRect(hwnd, nullptr, TRUE);
    ::EnumChildWindows(hwnd, &InvalidateChild, 0);
}

const MessageMap LauncherDialog::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<&LauncherDialog::OnQueryNewPalette>(WM_QUERYNEWPALETTE),
        OnMessage<&LauncherDialog::OnPaletteChanged>(WM_PALETTECHANGED),
        OnMessage<&LauncherDialog::OnCreate>(WM_CREATE),
        OnMessage<&LauncherDialog::OnPaint>(WM_PAINT),
        OnMessage<&LauncherDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnCommand<&LauncherDialog::OnRun>(IDC_RUN, BN_CLICKED),
        OnMessage<&LauncherDialog::OnDrawItem>(WM_DRAWITEM),
    };
    return MakeMessageMap(&CDialog::messageMap, entries);
}();

LauncherDialog::LauncherDialog(CWnd* parent) : CDialog(IDD_LAUNCHER, parent) {
    HINSTANCE instance = CWinApp::ResourceHandle();
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadBitmapWithPalette(instance, "BACKGROUND", &palette);
    background.Attach(bitmap);
    backgroundPalette.Attach(palette);
    icon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_LAUNCHER));
}

LRESULT LauncherDialog::OnCreate() {
    if (Default() == -1) return -1;
    currentPalette = nullptr;
    return 0;
}

BOOL LauncherDialog::OnInitDialog() {
    {
        // The intro video plays first, owned by this (still hidden) window.
        VideoDialog video;
        video.DoModal();
    }
    CDialog::OnInitDialog();

    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);

    // The picture buttons take over controls 1, 1002 and 2 here once they exist; until then
    // the dialog draws the owner-drawn buttons itself (OnDrawItem).

    SetDialogPalette(&backgroundPalette);

    RECT window;
    RECT client;
    GetWindowRect(&window);
    GetClientRect(&client);
    MoveWindow(window.left, window.top,
               (window.right - window.left) - (client.right - client.left) + kClientWidth,
               (window.bottom - window.top) - (client.bottom - client.top) + kClientHeight, TRUE);

    for (const ButtonPlace& place : kButtonPlaces) {
        ::MoveWindow(GetDlgItem(place.id), place.x, place.y, place.width, place.height, TRUE);
    }

    const bool installed = IsInstalled(system);
    ::EnableWindow(GetDlgItem(IDOK), !installed);
    ::EnableWindow(GetDlgItem(IDC_RUN), installed);
    return TRUE;
}

void LauncherDialog::OnOK() {
    if (::IsWindowEnabled(GetDlgItem(IDOK))) OnInstall();
}

void LauncherDialog::OnInstall() {
    StartInstaller(system);
    EndDialog(IDOK);
}

void LauncherDialog::OnRun() {
    StartProduct(system);
    EndDialog(IDC_RUN);
}

CPalette* LauncherDialog::SetDialogPalette(CPalette* palette) {
    CPalette* previous = currentPalette;
    currentPalette = palette;
    RealizeDialogPalette();
    return previous;
}

BOOL LauncherDialog::RealizeDialogPalette() {
    if (!currentPalette || !currentPalette->GetSafeHandle()) return FALSE;
    CClientDC dc(this);
    const MSG* message = GetCurrentMessage();
    const BOOL background = message && message->message == WM_PALETTECHANGED;
    HPALETTE previous = dc.SelectPalette(*currentPalette, background);
    const UINT changed = dc.RealizePalette();
    dc.SelectPalette(previous, TRUE);
    if (changed == 0 || changed == GDI_ERROR) return FALSE;
    InvalidateWithChildren(m_hWnd);
    return TRUE;
}

LRESULT LauncherDialog::OnPaletteChanged(WPARAM changedBy, LPARAM) {
    HWND source = reinterpret_cast<HWND>(changedBy);
    // A change made by this window or one below it needs no answer.
    if (source == m_hWnd || ::IsChild(m_hWnd, source)) return 0;
    RealizeDialogPalette();
    return 0;
}

void LauncherDialog::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, icon);
        return;
    }

    CPaintDC dc(this);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    HGDIOBJ previousBitmap = background.m_hObject ? memory.SelectObject(background) : nullptr;
    HPALETTE previousPalette = nullptr;
    if (backgroundPalette.m_hObject) {
        previousPalette = dc.SelectPalette(backgroundPalette, TRUE);
        dc.RealizePalette();
    }
    dc.BitBlt(0, 0, kBackgroundBlockWidth, kBackgroundBlockHeight, &memory, 0, 0, SRCCOPY);
    if (previousPalette) dc.SelectPalette(previousPalette, TRUE);
    if (previousBitmap) memory.SelectObject(previousBitmap);
}

// Temporary drawing of the owner-drawn buttons until the picture buttons take them over: the
// button's picture for its state ("<TEXT>U", "D", "F" or "X"), or a framed text without one.
LRESULT LauncherDialog::OnDrawItem(WPARAM, LPARAM item) {
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(item);
    if (!draw || draw->CtlType != ODT_BUTTON) return Default();

    char text[32] = {};
    ::GetWindowTextA(draw->hwndItem, text, sizeof(text));
    const char* suffix = (draw->itemState & ODS_DISABLED)   ? "X"
                         : (draw->itemState & ODS_SELECTED) ? "D"
                         : (draw->itemState & ODS_FOCUS)    ? "F"
                                                            : "U";
    const std::string name = std::string(text) + suffix;
    HBITMAP picture = static_cast<HBITMAP>(
        ::LoadImageA(CWinApp::ResourceHandle(), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    const RECT& rect = draw->rcItem;
    if (picture) {
        HDC memory = ::CreateCompatibleDC(draw->hDC);
        HGDIOBJ previous = ::SelectObject(memory, picture);
        ::BitBlt(draw->hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::DeleteObject(picture);
    } else {
        RECT frame = rect;
        ::FillRect(draw->hDC, &frame, static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)));
        ::FrameRect(draw->hDC, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::SetBkMode(draw->hDC, TRANSPARENT);
        ::DrawTextA(draw->hDC, text, -1, &frame, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    return TRUE;
}
