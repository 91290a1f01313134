#pragma once

#include <windows.h>

// A device context. A context made here (CreateCompatibleDC) is deleted with the object; one
// attached from elsewhere is only let go.
class CDC {
  public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(const CDC* dc);
    BOOL DeleteDC();
    void Attach(HDC dc) { m_hDC = dc; }
    HDC Detach();

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HPALETTE SelectPalette(HPALETTE palette, BOOL forceBackground) {
        return ::SelectPalette(m_hDC, palette, forceBackground);
    }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    BOOL BitBlt(int x, int y, int width, int height, const CDC* source, int sourceX, int sourceY,
                DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX,
                        sourceY, rop);
    }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

  private:
    bool owned = false;
};
