#pragma once

#include <windows.h>

#include "launcher/framework/c_gdi_object.h"

// A logical palette handle.
class CPalette : public CGdiObject {
  public:
    HPALETTE GetSafeHandle() const { return static_cast<HPALETTE>(m_hObject); }
    operator HPALETTE() const { return GetSafeHandle(); }
};
