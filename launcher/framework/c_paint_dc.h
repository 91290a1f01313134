#pragma once

#include <windows.h>

#include "launcher/framework/c_dc.h"

class CWnd;

// The context of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

  private:
    HWND hwnd;
};
