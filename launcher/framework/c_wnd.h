#pragma once

#include <windows.h>

#include <string>

#include "launcher/framework/message_map.h"

// A window object: wraps one window handle, subclasses the window so that its messages reach the
// object's message map first, and offers the window operations the program uses. Messages that
// no map entry takes, and handlers that call Default(), get the window's original processing.
class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // The handle of a window object that may be null.
    static HWND HandleOf(const CWnd* wnd) { return wnd ? wnd->m_hWnd : nullptr; }
    // The object attached to a window by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creates a child or popup window; a null class name uses the framework's own window class.
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
    BOOL DestroyWindow();
    // Takes over an existing window: its messages go through this object from now on.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // The original processing of the message being handled.
    LRESULT Default();
    // The message being handled, or null outside a handler.
    const MSG* GetCurrentMessage() const { return current.hwnd ? &current : nullptr; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    std::string GetWindowText() const;

    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    // Centres a top-level window over its visible owner (or the alternate owner), else on the
    // work area of its monitor; a child window is centred in its parent's client area.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    HICON SetIcon(HICON icon, BOOL big);

    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    HWND SetCapture() { return ::SetCapture(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    static HWND GetFocus() { return ::GetFocus(); }

  protected:
    // Handler of WM_DESTROY for derived classes that take it: the default destroy processing.
    void OnDestroy() { Default(); }

    // Dispatches one message: the first matching entry of the class's map chain, else Default().
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }
    // Called after the window has received its last message and the object is detached from it.
    virtual void PostNcDestroy() {}

    static const MessageMap messageMap;

    // Subclasses the next window created on this thread for `wnd` (from its first message on).
    static void HookWindowCreate(CWnd* wnd);
    static void UnhookWindowCreate();

  private:
    static LRESULT CALLBACK StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
    void Detach();

    WNDPROC originalProc = nullptr;
    MSG current{};
};
