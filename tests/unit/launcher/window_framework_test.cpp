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
        OnMessage<&BaseWindow::OnPing>(kPing),
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
    LRESULT OnSetText(WPARAM, LPARAM text) {
        log.push_back(std::string("settext ") + reinterpret_cast<const char*>(text));
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
        OnMessage<&DerivedWindow::OnCreate>(WM_CREATE),
        OnCommand<&DerivedWindow::OnRun>(9, BN_CLICKED),
        OnMessage<&DerivedWindow::OnSetText>(WM_SETTEXT),
        OnMessage<&DerivedWindow::OnOuter>(kOuter),
        OnMessage<&DerivedWindow::OnInner>(kInner),
    };
    return MakeMessageMap(&BaseWindow::messageMap, entries);
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
