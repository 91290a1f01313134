#pragma once

#include <windows.h>

// A small centred window with a message and an OK button, for the sample installer's report.
// It closes with OK, Enter, Escape, its close box, or by itself after `autoCloseMs`
// milliseconds; ShowNotice returns when it has closed.
void ShowNotice(HINSTANCE instance, const char* title, const char* text, UINT autoCloseMs);
