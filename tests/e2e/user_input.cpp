#include "tests/e2e/user_input.h"

namespace e2e {

void SendKey(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void PressKey(HWND window, WORD virtualKey) {
    // Activation of another program's window completes asynchronously; the key must not reach
    // the window that was active before.
    SetForegroundWindow(window);
    for (int i = 0; i < 50 && GetForegroundWindow() != window; ++i) Sleep(20);
    Sleep(50);
    SendKey(virtualKey, 0);
    Sleep(30);
    SendKey(virtualKey, KEYEVENTF_KEYUP);
}

void MoveMouseTo(int screenX, int screenY) {
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screenX, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screenY, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void ClickAt(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    Sleep(80);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(80);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

}  // namespace e2e
