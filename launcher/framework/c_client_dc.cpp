#include "launcher/framework/c_client_dc.h"

#include "launcher/framework/c_wnd.h"

CClientDC::CClientDC(CWnd* wnd) : hwnd(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(hwnd)); }

CClientDC::~CClientDC() {
    HDC dc = Detach();
    if (dc) ::ReleaseDC(hwnd, dc);
}
