// The launcher's window framework, with real windows: runs in the Windows tier only, and skips
// when the system cannot create windows (no display).
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/framework/c_dialog.h"
#include "launcher/framework/c_win_app.h"
#include "launcher/framework/c_wnd.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kOuter = WM_APP + 2;
constexpr UINT kInner = WM_APP + 3;

class BaseWindow : public CWnd {
  public:
    std::vector<std::string> log;

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    LRESULT OnPing() {
        log.push_back("base ping");
        return 1;
    }
    LRESULT OnBaseCommand() {
        log.push_back("base command 7");
        return 0;
    }
};

const MessageMap BaseWindow::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<kPing, &BaseWindow::OnPing>(),
        OnCommand<&BaseWindow::OnBaseCommand>(7),
    };
    return MakeMessageMap(&CWnd::messageMap, entries);
}();

class DerivedWindow : public BaseWindow {
  public:
    bool failCreate = false;
    bool destroyedAfterDetach = false;
    UINT innerSeen = 0;
    UINT outerAfterInner = 0;

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;
    void PostNcDestroy() override { destroyedAfterDetach = m_hWnd == nullptr; }

  private:
    LRESULT OnCreate() {
        log.push_back("create");
        return failCreate ? -1 : Default();
    }
    void OnRun() { log.push_back("command 9 clicked"); }
    LRESULT OnSetText(const char* text) {
        log.push_back(std::string("settext ") + text);
        return Default();  // the original procedure stores the text
    }
    LRESULT OnOuter() {
        SendMessage(kInner);
        const MSG* current = GetCurrentMessage();
        outerAfterInner = current ? current->message : 0;
        return 0;
    }
    LRESULT OnInner() {
        innerSeen = GetCurrentMessage()->message;
        return 0;
    }
};

const MessageMap DerivedWindow::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<WM_CREATE, &DerivedWindow::OnCreate>(),
        OnCommand<&DerivedWindow::OnRun>(9, BN_CLICKED),
        OnMessage<WM_SETTEXT, &DerivedWindow::OnSetText>(),
        OnMessage<kOuter, &DerivedWindow::OnOuter>(),
        OnMessage<kInner, &DerivedWindow::OnInner>(),
    };
    return MakeMessageMap(&BaseWindow::messageMap, entries);
}();

// Records what its handlers receive, for each decoded message.
class ArgumentProbe : public CWnd {
  public:
    std::string createdName;
    UINT key = 0, repeat = 0, keyFlags = 0;
    UINT keyUp = 0;
    UINT mouseFlags = 0;
    POINT point{};
    UINT moveFlags = 0;
    UINT_PTR timer = 0;
    HWND cursorWindow = nullptr;
    UINT hitTest = 0, mouseMessage = 0;
    HWND paletteChangedBy = nullptr;
    HDC eraseDC = nullptr;
    HWND focusFrom = nullptr, focusTo = nullptr;
    BOOL enabled = -1;
    HWND commandSender = nullptr;
    HCURSOR dragIcon = nullptr;

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    int OnCreate(CREATESTRUCTA* create) {
        createdName = create->lpszName;
        return 0;
    }
    void OnKeyDown(UINT code, UINT count, UINT flags) {
        key = code;
        repeat = count;
        keyFlags = flags;
    }
    void OnKeyUp(UINT code) { keyUp = code; }
    void OnLeftButtonDown(UINT flags, POINT at) {
        mouseFlags = flags;
        point = at;
    }
    void OnMouseMove(UINT flags) { moveFlags = flags; }
    void OnTimer(UINT_PTR id) { timer = id; }
    BOOL OnSetCursor(HWND window, UINT code, UINT message) {
        cursorWindow = window;
        hitTest = code;
        mouseMessage = message;
        return TRUE;
    }
    void OnPaletteChanged(HWND changedBy) { paletteChangedBy = changedBy; }
    BOOL OnEraseBackground(HDC dc) {
        eraseDC = dc;
        return TRUE;
    }
    void OnSetFocus(HWND previous) { focusFrom = previous; }
    void OnKillFocus(HWND next) { focusTo = next; }
    void OnEnable(BOOL enable) { enabled = enable; }
    void OnClicked(HWND sender) { commandSender = sender; }
    HCURSOR OnQueryDragIcon() { return dragIcon; }
};

const MessageMap ArgumentProbe::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<WM_CREATE, &ArgumentProbe::OnCreate>(),
        OnMessage<WM_KEYDOWN, &ArgumentProbe::OnKeyDown>(),
        OnMessage<WM_KEYUP, &ArgumentProbe::OnKeyUp>(),
        OnMessage<WM_LBUTTONDOWN, &ArgumentProbe::OnLeftButtonDown>(),
        OnMessage<WM_MOUSEMOVE, &ArgumentProbe::OnMouseMove>(),
        OnMessage<WM_TIMER, &ArgumentProbe::OnTimer>(),
        OnMessage<WM_SETCURSOR, &ArgumentProbe::OnSetCursor>(),
        OnMessage<WM_PALETTECHANGED, &ArgumentProbe::OnPaletteChanged>(),
        OnMessage<WM_ERASEBKGND, &ArgumentProbe::OnEraseBackground>(),
        OnMessage<WM_SETFOCUS, &ArgumentProbe::OnSetFocus>(),
        OnMessage<WM_KILLFOCUS, &ArgumentProbe::OnKillFocus>(),
        OnMessage<WM_ENABLE, &ArgumentProbe::OnEnable>(),
        OnMessage<WM_QUERYDRAGICON, &ArgumentProbe::OnQueryDragIcon>(),
        OnCommand<&ArgumentProbe::OnClicked>(5, BN_CLICKED),
    };
    return MakeMessageMap(&CWnd::messageMap, entries);
}();

bool WindowsAvailable() {
    HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                   nullptr);
    if (!probe) return false;
    ::DestroyWindow(probe);
    return true;
}

#define REQUIRE_WINDOWS() \
    if (!WindowsAvailable()) GTEST_SKIP() << "no display to create windows on"

const RECT kSmall{10, 10, 110, 60};

TEST(WindowFramework, MessageMapsChainFromDerivedToBaseToDefault) {
    REQUIRE_WINDOWS();
    DerivedWindow wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "first", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(wnd.log, std::vector<std::string>{"create"}) << "WM_CREATE reaches the map";
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

    wnd.log.clear();
    EXPECT_EQ(wnd.SendMessage(kPing), 1) << "base entries serve derived classes";
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(9, BN_CLICKED));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(9, BN_DOUBLECLICKED));  // other code: not mapped
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));
    ::SetWindowTextA(wnd.m_hWnd, "second");
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"base ping", "command 9 clicked", "base command 7",
                                                 "settext second"}));
    EXPECT_EQ(wnd.GetWindowText(), "second") << "Default() passes on to the original procedure";

    wnd.SendMessage(kOuter);
    EXPECT_EQ(wnd.innerSeen, kInner);
    EXPECT_EQ(wnd.outerAfterInner, kOuter) << "a nested message restores the outer one";
    EXPECT_EQ(wnd.GetCurrentMessage(), nullptr);

    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(wnd.destroyedAfterDetach);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST(WindowFramework, HandlersReceiveTheMessagesDecodedArguments) {
    REQUIRE_WINDOWS();
    ArgumentProbe wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "probe", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(wnd.createdName, "probe");
    HWND other = ::GetDesktopWindow();

    // Key: code, repeat count (low word), scan code and flags (high word); or the code alone.
    wnd.SendMessage(WM_KEYDOWN, VK_SPACE, MAKELPARAM(3, 0x4039));
    EXPECT_EQ(wnd.key, static_cast<UINT>(VK_SPACE));
    EXPECT_EQ(wnd.repeat, 3u);
    EXPECT_EQ(wnd.keyFlags, 0x4039u);
    wnd.SendMessage(WM_KEYUP, 'A', MAKELPARAM(1, 0xC01E));
    EXPECT_EQ(wnd.keyUp, static_cast<UINT>('A'));

    // Mouse: key state and a signed point, which is negative left of or above a captured window.
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-12, 345));
    EXPECT_EQ(wnd.mouseFlags, static_cast<UINT>(MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(wnd.point.x, -12);
    EXPECT_EQ(wnd.point.y, 345);
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, -1));
    EXPECT_EQ(wnd.point.x, 7);
    EXPECT_EQ(wnd.point.y, -1);
    wnd.SendMessage(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(1, 1));
    EXPECT_EQ(wnd.moveFlags, static_cast<UINT>(MK_RBUTTON));

    wnd.SendMessage(WM_TIMER, 42, 0);
    EXPECT_EQ(wnd.timer, 42u);

    // Cursor: the window under it, the hit-test code (low word) and the mouse message (high).
    EXPECT_EQ(wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(other),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(wnd.cursorWindow, other);
    EXPECT_EQ(wnd.hitTest, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(wnd.mouseMessage, static_cast<UINT>(WM_MOUSEMOVE));

    // Window and device-context arguments.
    wnd.SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(other));
    EXPECT_EQ(wnd.paletteChangedBy, other);
    HDC dc = ::GetDC(wnd.m_hWnd);
    EXPECT_EQ(wnd.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), TRUE);
    EXPECT_EQ(wnd.eraseDC, dc);
    ::ReleaseDC(wnd.m_hWnd, dc);
    wnd.SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(other));
    wnd.SendMessage(WM_KILLFOCUS, 0);
    EXPECT_EQ(wnd.focusFrom, other);
    EXPECT_EQ(wnd.focusTo, nullptr);
    wnd.SendMessage(WM_ENABLE, FALSE);
    EXPECT_EQ(wnd.enabled, FALSE);

    // A command's handler gets the control that sent it.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(wnd.commandSender, other);

    // A handle returned by a handler is the message's result.
    wnd.dragIcon = ::LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(wnd.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(wnd.dragIcon));
}

TEST(WindowFramework, FailedCreationLeavesTheObjectDetached) {
    REQUIRE_WINDOWS();
    DerivedWindow wnd;
    wnd.failCreate = true;
    EXPECT_FALSE(wnd.Create(nullptr, "refused", WS_POPUP, kSmall, nullptr, 0));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(WindowFramework, SubclassedItemGoesBackToItsOwnProcedureWhenDestroyed) {
    REQUIRE_WINDOWS();
    HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr);
    HWND item = ::CreateWindowExA(0, "BUTTON", "RUN", WS_CHILD, 0, 0, 50, 20, parent,
                                  reinterpret_cast<HMENU>(1002), nullptr, nullptr);
    const LONG_PTR ownProc = ::GetWindowLongPtrA(item, GWLP_WNDPROC);
    CWnd host;
    host.m_hWnd = parent;  // only to name the parent

    DerivedWindow button;
    EXPECT_FALSE(button.SubclassDlgItem(1003, &host)) << "no such item";
    ASSERT_TRUE(button.SubclassDlgItem(1002, &host));
    EXPECT_EQ(button.m_hWnd, item);
    EXPECT_EQ(button.GetWindowText(), "RUN");
    EXPECT_EQ(button.SendMessage(kPing), 1);
    DerivedWindow second;
    EXPECT_FALSE(second.SubclassWindow(item)) << "a window has one object";

    EXPECT_EQ(button.UnsubclassWindow(), item);
    EXPECT_EQ(::GetWindowLongPtrA(item, GWLP_WNDPROC), ownProc);
    ASSERT_TRUE(button.SubclassDlgItem(1002, &host));
    host.m_hWnd = nullptr;
    ::DestroyWindow(parent);
    EXPECT_EQ(button.m_hWnd, nullptr) << "destroying the parent detaches the item's object";
}

// A classic dialog template without controls.
std::vector<WORD> DialogTemplate(DWORD style, short x, short y, short cx, short cy) {
    std::vector<WORD> words(2 + 2 + 1 + 4 + 3, 0);
    words[0] = LOWORD(style);
    words[1] = HIWORD(style);
    words[5] = static_cast<WORD>(x);
    words[6] = static_cast<WORD>(y);
    words[7] = static_cast<WORD>(cx);
    words[8] = static_cast<WORD>(cy);
    return words;  // no menu, default class, empty title
}

class ProbeDialog : public CDialog {
  public:
    using CDialog::CDialog;
    int moveTo = -1;          // OnInitDialog moves the window to (moveTo, moveTo) when set
    UINT postCommand = IDOK;  // command posted from OnInitDialog to end the loop
    HWND owner = nullptr;
    BOOL ownerEnabled = TRUE;
    RECT window{};
    bool okCalled = false;

  protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        owner = ::GetWindow(m_hWnd, GW_OWNER);
        ownerEnabled = owner ? ::IsWindowEnabled(owner) : TRUE;
        if (moveTo >= 0) SetWindowPos(nullptr, moveTo, moveTo, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(postCommand, BN_CLICKED), 0);
        return TRUE;
    }
    void OnOK() override {
        okCalled = true;
        GetWindowRect(&window);
        CDialog::OnOK();
    }
    void OnCancel() override {
        GetWindowRect(&window);
        CDialog::OnCancel();
    }
};

RECT WorkArea() {
    RECT area;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(WindowFramework, ModalDialogRoutesCommandsAndCentresAtOrigin) {
    REQUIRE_WINDOWS();
    const auto words = DialogTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 100, 50);
    ProbeDialog dialog(words.data(), words.size() * sizeof(WORD));
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.okCalled);
    EXPECT_EQ(dialog.owner, nullptr);
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "the window is gone after DoModal";

    const RECT area = WorkArea();
    const int width = dialog.window.right - dialog.window.left;
    const int height = dialog.window.bottom - dialog.window.top;
    EXPECT_NEAR(dialog.window.left, (area.left + area.right - width) / 2, 1);
    EXPECT_NEAR(dialog.window.top, (area.top + area.bottom - height) / 2, 1);

    ProbeDialog cancelled(words.data(), words.size() * sizeof(WORD));
    cancelled.postCommand = IDCANCEL;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_FALSE(cancelled.okCalled);
}

TEST(WindowFramework, DialogKeepsAPlaceOfItsOwn) {
    REQUIRE_WINDOWS();
    // Moved during initialisation: not centred afterwards.
    const auto origin = DialogTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 100, 50);
    ProbeDialog moved(origin.data(), origin.size() * sizeof(WORD));
    moved.moveTo = 7;
    moved.DoModal();
    EXPECT_EQ(moved.window.left, 7);
    EXPECT_EQ(moved.window.top, 7);

    // A template with a position of its own is not centred either.
    const auto placed = DialogTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 3, 3, 100, 50);
    ProbeDialog stays(placed.data(), placed.size() * sizeof(WORD));
    stays.DoModal();
    const RECT area = WorkArea();
    const int width = stays.window.right - stays.window.left;
    EXPECT_GT(std::abs(stays.window.left - (area.left + area.right - width) / 2), 1);
}

TEST(WindowFramework, DialogWithoutParentIsOwnedByTheMainWindowWhichWaitsDisabled) {
    REQUIRE_WINDOWS();
    CWinApp app;
    DerivedWindow main;
    ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP, kSmall, nullptr, 0));
    app.m_pMainWnd = &main;

    const auto words = DialogTemplate(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 100, 50);
    ProbeDialog dialog(words.data(), words.size() * sizeof(WORD));
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.owner, main.m_hWnd);
    EXPECT_FALSE(dialog.ownerEnabled) << "the owner is disabled while the dialog runs";
    EXPECT_TRUE(main.IsWindowEnabled()) << "and enabled again afterwards";

    // The main window itself, before it has a window, owns nothing.
    ProbeDialog self(words.data(), words.size() * sizeof(WORD));
    app.m_pMainWnd = &self;
    EXPECT_EQ(self.DoModal(), IDOK);
    EXPECT_EQ(self.owner, nullptr);
    EXPECT_EQ(app.m_pMainWnd, nullptr) << "a destroyed main window is forgotten";
}

}  // namespace

#endif  // _WIN32
