#include "launcher/framework/c_wnd.h"

#include <map>

#include "launcher/framework/c_win_app.h"

namespace {

// Window objects by handle. The program has one user-interface thread, so one table serves.
std::map<HWND, CWnd*>& Windows() {
    static std::map<HWND, CWnd*> windows;
    return windows;
}

// The object waiting for its window to be created, and the hook that catches that creation.
CWnd* pendingWindow = nullptr;
HHOOK creationHook = nullptr;

constexpr char kDefaultClassName[] = "FrameworkWindow";

bool RegisterDefaultClass(HINSTANCE instance) {
    WNDCLASSA existing;
    if (::GetClassInfoA(instance, kDefaultClassName, &existing)) return true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kDefaultClassName;
    return ::RegisterClassA(&wc) != 0;
}

// The system may create its input-method window on the thread's first window creation, before
// the window that is waited for; that one is not taken over.
bool IsImeWindow(HWND hwnd) {
    char name[8] = {};
    return ::GetClassNameA(hwnd, name, sizeof(name)) > 0 && ::lstrcmpiA(name, "IME") == 0;
}

}  // namespace

const MessageMap CWnd::messageMap{nullptr, nullptr, 0};

CWnd::~CWnd() {
    if (m_hWnd) DestroyWindow();
    CWinApp* app = CWinApp::Current();
    if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    auto found = Windows().find(hwnd);
    return found == Windows().end() ? nullptr : found->second;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
    HINSTANCE instance = CWinApp::ResourceHandle();
    if (!className) {
        if (!RegisterDefaultClass(instance)) return FALSE;
        className = kDefaultClassName;
    }
    HookWindowCreate(this);
    HWND hwnd =
        ::CreateWindowExA(0, className, windowName, style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, HandleOf(parent),
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
    UnhookWindowCreate();
    return hwnd != nullptr && m_hWnd == hwnd;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc)));
    if (!previous) return FALSE;
    originalProc = previous;
    m_hWnd = hwnd;
    Windows()[hwnd] = this;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent || !parent->m_hWnd) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
    Detach();
    return hwnd;
}

void CWnd::Detach() {
    Windows().erase(m_hWnd);
    m_hWnd = nullptr;
    originalProc = nullptr;
}

LRESULT CWnd::Default() {
    if (!m_hWnd) return 0;
    // Outside a handler there is no message to pass on.
    if (!current.hwnd) return 0;
    if (!originalProc)
        return ::DefWindowProcA(m_hWnd, current.message, current.wParam, current.lParam);
    return ::CallWindowProcA(originalProc, m_hWnd, current.message, current.wParam, current.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    const bool child = (GetStyle() & WS_CHILD) != 0;
    HWND center = alternateOwner ? alternateOwner->m_hWnd
                                 : (child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    RECT window;
    GetWindowRect(&window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;

    RECT area;
    RECT target;
    if (child) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        target = area;
        if (center && center != parent) {
            ::GetWindowRect(center, &target);
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&target), 2);
        }
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
        // A hidden or minimized owner gives no useful place: use the work area instead.
        if (center && (!::IsWindowVisible(center) || ::IsIconic(center))) center = nullptr;
        target = area;
        if (center) ::GetWindowRect(center, &target);
    }

    int x = (target.left + target.right) / 2 - width / 2;
    int y = (target.top + target.bottom) / 2 - height / 2;
    if (!child) {
        // Keep a top-level window on the work area.
        if (x + width > area.right) x = area.right - width;
        if (x < area.left) x = area.left;
        if (y + height > area.bottom) y = area.bottom - height;
        if (y < area.top) y = area.top;
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& entry = map->entries[i];
            if (entry.message != message) continue;
            if (message == WM_COMMAND &&
                (entry.id != LOWORD(wParam) || entry.code != HIWORD(wParam))) {
                continue;
            }
            return entry.thunk(this, wParam, lParam);
        }
    }
    return Default();
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);

    // Handlers nest (a handler may send messages to its own window): keep the outer message.
    const MSG outer = wnd->current;
    wnd->current = MSG{hwnd, message, wParam, lParam, 0, {}};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->current = outer;

    if (message == WM_NCDESTROY && wnd->m_hWnd == hwnd) {
        // The window is gone: give the window its own procedure back and let go of it.
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->originalProc));
        wnd->Detach();
        CWinApp* app = CWinApp::Current();
        if (app && app->m_pMainWnd == wnd) app->m_pMainWnd = nullptr;
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && pendingWindow && !IsImeWindow(reinterpret_cast<HWND>(wParam))) {
        CWnd* wnd = pendingWindow;
        pendingWindow = nullptr;
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(creationHook, code, wParam, lParam);
}

void CWnd::HookWindowCreate(CWnd* wnd) {
    pendingWindow = wnd;
    if (!creationHook) {
        creationHook =
            ::SetWindowsHookExA(WH_CBT, &CWnd::CreationHook, nullptr, ::GetCurrentThreadId());
    }
}

void CWnd::UnhookWindowCreate() {
    pendingWindow = nullptr;
    if (creationHook) {
        ::UnhookWindowsHookEx(creationHook);
        creationHook = nullptr;
    }
}
