#include "launcher/framework/c_paint_dc.h"

#include "launcher/framework/c_wnd.h"

CPaintDC::CPaintDC(CWnd* wnd) : hwnd(wnd->m_hWnd) { Attach(::BeginPaint(hwnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    Detach();
    ::EndPaint(hwnd, &m_ps);
}
