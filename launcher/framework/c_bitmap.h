#pragma once

#include <windows.h>

#include "launcher/framework/c_gdi_object.h"

// A device-dependent bitmap handle.
class CBitmap : public CGdiObject {
  public:
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
    operator HBITMAP() const { return GetSafeHandle(); }
};
