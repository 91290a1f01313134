// Keyboard and mouse input as a person gives it, through the system's input queue.
#pragma once

#include <windows.h>

namespace e2e {

// One raw key event (flags 0 presses, KEYEVENTF_KEYUP releases) for whichever window has the focus.
void SendKey(WORD virtualKey, DWORD flags);

// One raw mouse-button event (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP...) where the pointer is.
void SendMouse(DWORD flags);

// Brings the window to the foreground, then presses and releases the key.
void PressKey(HWND window, WORD virtualKey);

// Moves the pointer to the screen position, as a mouse movement that windows are told about.
void MoveMouseTo(int screenX, int screenY);

// Moves the pointer to the screen position and clicks the left button there.
void ClickAt(int screenX, int screenY);

// Clicks the middle of a child window (for example a button).
void ClickWindow(HWND window);

}  // namespace e2e
