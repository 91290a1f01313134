#pragma once

#include <windows.h>

#include "launcher/framework/c_dc.h"

class CWnd;

// A context for a window's client area, outside painting; released on destruction.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

  private:
    HWND hwnd;
};
