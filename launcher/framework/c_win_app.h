#pragma once

#include <windows.h>

class CWnd;

// The application object. The program defines exactly one, as a static object; the framework's
// WinMain finds it, runs InitInstance and, when that returns FALSE, ends the process at once
// instead of running a message loop.
class CWinApp {
  public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up; FALSE ends the process without a message loop.
    virtual BOOL InitInstance() { return TRUE; }
    // The message loop after a successful start-up; returns the exit code.
    virtual int Run();
    // Clean-up before the process ends; returns the exit code.
    virtual int ExitInstance() { return exitCode; }

    static CWinApp* Current() { return current; }
    // The module holding the program's resources.
    static HINSTANCE ResourceHandle();

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // The main window: the default owner of windows created without a parent.
    CWnd* m_pMainWnd = nullptr;

  private:
    static CWinApp* current;
    int exitCode = 0;
};
