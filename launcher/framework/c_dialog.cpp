#include "launcher/framework/c_dialog.h"

#include <cstdint>
#include <cstring>

#include "launcher/framework/c_win_app.h"

namespace {

// The position fields of a dialog template, extended or classic.
bool TemplateAtOrigin(const uint8_t* bytes, size_t size) {
    auto word = [&](size_t offset) {
        int16_t value;
        std::memcpy(&value, bytes + offset, sizeof(value));
        return value;
    };
    const bool extended = size >= 4 && word(0) == 1 && static_cast<uint16_t>(word(2)) == 0xFFFF;
    const size_t xOffset = extended ? 18 : 10;
    if (size < xOffset + 4) return false;
    return word(xOffset) == 0 && word(xOffset + 2) == 0;
}

}  // namespace

const MessageMap CDialog::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<WM_INITDIALOG, &CDialog::HandleInitDialog>(),
        OnCommand<&CDialog::HandleOK>(IDOK),
        OnCommand<&CDialog::HandleCancel>(IDCANCEL),
    };
    return MakeMessageMap(&CWnd::messageMap, entries);
}();

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId(templateId), parentWnd(parent) {}

CDialog::CDialog(const void* dialogTemplate, size_t size, CWnd* parent)
    : indirectTemplate(dialogTemplate), indirectSize(size), parentWnd(parent) {}

HWND CDialog::OwnerWindow() const {
    HWND owner = HandleOf(parentWnd);
    if (!owner) {
        CWinApp* app = CWinApp::Current();
        if (app && app->m_pMainWnd != this) owner = HandleOf(app->m_pMainWnd);
    }
    // Dialogs are owned by top-level windows only.
    while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    return owner;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE instance = CWinApp::ResourceHandle();
    const void* dialogTemplate = indirectTemplate;
    size_t templateSize = indirectSize;
    if (!dialogTemplate) {
        HRSRC resource = ::FindResourceA(instance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
        HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
        dialogTemplate = loaded ? ::LockResource(loaded) : nullptr;
        templateSize = resource ? ::SizeofResource(instance, resource) : 0;
    }
    if (!dialogTemplate) return -1;
    templateAtOrigin = TemplateAtOrigin(static_cast<const uint8_t*>(dialogTemplate), templateSize);

    HWND owner = OwnerWindow();
    bool ownerDisabled = false;
    if (owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }

    modalResult = -1;
    inModalLoop = true;
    HookWindowCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamA(
        instance, static_cast<const DLGTEMPLATE*>(dialogTemplate), owner, &CDialog::DialogProc, 0);
    UnhookWindowCreate();

    if (hwnd && m_hWnd == hwnd) RunModalLoop();
    inModalLoop = false;

    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd)
        DestroyWindow();
    else if (hwnd && ::IsWindow(hwnd))
        ::DestroyWindow(hwnd);
    return modalResult;
}

void CDialog::RunModalLoop() {
    // A template without WS_VISIBLE is shown once the loop first has nothing to do.
    bool showWhenIdle = (GetStyle() & WS_VISIBLE) == 0;
    MSG msg;
    while (inModalLoop && m_hWnd) {
        if (showWhenIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            showWhenIdle = false;
        }
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!::IsDialogMessageA(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int result) {
    modalResult = result;
    inModalLoop = false;
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

void CDialog::OnOK() {
    DoDataExchange();
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::HandleInitDialog() {
    RECT before;
    GetWindowRect(&before);
    const BOOL result = OnInitDialog();
    if (m_hWnd && templateAtOrigin && !(GetStyle() & (WS_CHILD | DS_CENTER))) {
        RECT after;
        GetWindowRect(&after);
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        const bool moved = after.left != before.left || after.top != before.top;
        if (!moved && (!owner || !::IsWindowVisible(owner))) CenterWindow();
    }
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Every message reaches the dialog object through its window procedure first; what is
    // passed on gets the dialog manager's default processing.
    return FALSE;
}
