#include "disc/setup/notice_window.h"

namespace {

constexpr const char* kClassName = "VelmoraSetupNotice";
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 130;
constexpr int kOkId = IDOK;
constexpr UINT_PTR kCloseTimer = 1;

struct NoticeState {
    const char* text;
    UINT autoCloseMs;
};

void SetDialogFont(HWND window) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            auto* state = static_cast<NoticeState*>(create->lpCreateParams);
            HINSTANCE instance = create->hInstance;
            HWND text = CreateWindowExA(0, "STATIC", state->text, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                        16, 14, kClientWidth - 32, kClientHeight - 62, window,
                                        nullptr, instance, nullptr);
            HWND ok = CreateWindowExA(
                0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                kClientWidth - 96, kClientHeight - 38, 80, 26, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), instance, nullptr);
            SetDialogFont(text);
            SetDialogFont(ok);
            SetFocus(ok);
            SetTimer(window, kCloseTimer, state->autoCloseMs, nullptr);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kOkId || LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
            return 0;
        case WM_TIMER:
            if (wParam == kCloseTimer) DestroyWindow(window);
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        case WM_DESTROY:
            KillTimer(window, kCloseTimer);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void ShowNotice(HINSTANCE instance, const char* title, const char* text, UINT autoCloseMs) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NoticeProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    NoticeState state{text, autoCloseMs};
    HWND window = CreateWindowExA(0, kClassName, title, style, x, y, width, height, nullptr,
                                  nullptr, instance, &state);
    if (!window) return;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // IsDialogMessage gives the window Enter, Escape and Tab like a dialog box.
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
