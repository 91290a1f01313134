// Finding and measuring the top-level windows of another process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Visible top-level windows that belong to the process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);
bool HasCaption(HWND window);

// The client area in screen coordinates.
RECT ClientRectOnScreen(HWND window);
// A child window's rectangle in its parent's client coordinates.
RECT RectInParentClient(HWND child);

// Serves the messages of the driver's own windows (broadcasts wait for them).
void PumpMessages();

// Polls `condition` every 20 ms until it holds or timeoutMs pass, serving the driver's own
// messages meanwhile; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Waits for a visible window of the process that `match` accepts; null when none came in time.
HWND WaitForWindow(DWORD processId, const std::function<bool(HWND)>& match, DWORD timeoutMs);

std::string DescribeRect(const RECT& rect);

// One line per visible window of the process (class, caption, rectangle), for failure messages.
std::string DescribeWindows(DWORD processId);

}  // namespace e2e
