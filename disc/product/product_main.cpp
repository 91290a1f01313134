// The disc's sample product: a small window titled "Velmora" that shows where it runs.

#include <windows.h>

#include <string>

#include "disc/common/sample_log.h"

namespace {

constexpr const char* kClassName = "VelmoraSampleProduct";
constexpr const char* kTitle = "Velmora";
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 180;
// Under test the product closes by itself, after long enough to be found and looked at.
constexpr UINT kAutoCloseMsWhenLogged = 5000;
constexpr UINT_PTR kCloseTimer = 1;

std::string g_folder;

void PaintProduct(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);

    // Night-blue backdrop, darker towards the bottom.
    for (int y = 0; y < client.bottom; y += 4) {
        int shade = 70 - 50 * y / (client.bottom ? client.bottom : 1);
        HBRUSH band = CreateSolidBrush(RGB(shade / 2, shade / 2, shade + 30));
        RECT row = {0, y, client.right, y + 4};
        FillRect(dc, &row, band);
        DeleteObject(band);
    }

    SetBkMode(dc, TRANSPARENT);
    HFONT title = CreateFontA(40, 0, 0, 0, FW_NORMAL, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    HGDIOBJ previous = SelectObject(dc, title);
    SetTextColor(dc, RGB(236, 200, 120));
    RECT titleRect = {0, 30, client.right, 90};
    DrawTextA(dc, kTitle, -1, &titleRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(title);

    SetTextColor(dc, RGB(210, 206, 232));
    std::string line = "Running from " + g_folder;
    RECT lineRect = {12, 110, client.right - 12, client.bottom - 10};
    DrawTextA(dc, line.c_str(), -1, &lineRect, DT_CENTER | DT_WORDBREAK | DT_PATH_ELLIPSIS);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
}

LRESULT CALLBACK ProductProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintProduct(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            if (wParam == kCloseTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    AppendSampleLog("Velmora");

    char folder[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryA(sizeof(folder), folder);
    if (length > 0 && length < sizeof(folder)) g_folder.assign(folder, length);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProductProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExA(0, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 1;
    if (SampleLogRequested()) SetTimer(window, kCloseTimer, kAutoCloseMsWhenLogged, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
