#include "launcher/launcher_dialog.h"

#include <initializer_list>

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
// Every button takes the focus while the mouse is over it and drops it once the mouse has left.
constexpr unsigned kButtonFlags = IBS_HOVERFOCUS | IBS_HOVERWATCH;

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
        OnMessage<WM_QUERYNEWPALETTE, &LauncherDialog::OnQueryNewPalette>(),
        OnMessage<WM_PALETTECHANGED, &LauncherDialog::OnPaletteChanged>(),
        OnMessage<WM_CREATE, &LauncherDialog::OnCreate>(),
        OnMessage<WM_PAINT, &LauncherDialog::OnPaint>(),
        OnMessage<WM_QUERYDRAGICON, &LauncherDialog::OnQueryDragIcon>(),
        OnCommand<&LauncherDialog::OnRun>(IDC_RUN, BN_CLICKED),
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

int LauncherDialog::OnCreate() {
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

    // The picture buttons take over the template's buttons; each loads the pictures named
    // after its text. A button without pictures keeps its place and paints nothing.
    installButton.AttachToItem(IDOK, this, kButtonFlags, nullptr);
    runButton.AttachToItem(IDC_RUN, this, kButtonFlags, nullptr);
    exitButton.AttachToItem(IDCANCEL, this, kButtonFlags, nullptr);
    HCURSOR hand = ::LoadCursorA(CWinApp::ResourceHandle(), MAKEINTRESOURCEA(IDR_HAND_CURSOR));
    for (ImageButton* button : {&installButton, &runButton, &exitButton}) {
        button->SetDrawingPalette(backgroundPalette);
    }
    for (ImageButton* button : {&installButton, &runButton, &exitButton}) {
        button->SetCursor(hand);
    }

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

void LauncherDialog::OnPaletteChanged(HWND changedBy) {
    // A change made by this window or one below it needs no answer.
    if (changedBy == m_hWnd || ::IsChild(m_hWnd, changedBy)) return;
    RealizeDialogPalette();
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
