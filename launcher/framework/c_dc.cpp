#include "launcher/framework/c_dc.h"

CDC::~CDC() {
    if (owned) DeleteDC();
}

BOOL CDC::CreateCompatibleDC(const CDC* dc) {
    if (m_hDC) return FALSE;
    m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    owned = m_hDC != nullptr;
    return owned;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC || !owned) return FALSE;
    owned = false;
    return ::DeleteDC(Detach());
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    owned = false;
    return dc;
}
