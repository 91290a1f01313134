#pragma once

#include <windows.h>

// Owner of one GDI object handle: deletes it when the wrapper goes away.
class CGdiObject {
  public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    // Takes ownership of a handle; fails when the wrapper already holds one.
    BOOL Attach(HGDIOBJ object) {
        if (m_hObject || !object) return FALSE;
        m_hObject = object;
        return TRUE;
    }
    HGDIOBJ Detach() {
        HGDIOBJ object = m_hObject;
        m_hObject = nullptr;
        return object;
    }
    BOOL DeleteObject() {
        if (!m_hObject) return FALSE;
        return ::DeleteObject(Detach());
    }
};
