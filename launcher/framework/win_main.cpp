#include <windows.h>

#include "launcher/framework/c_win_app.h"
#include "launcher/framework/c_wnd.h"

// The program's entry point: runs the one application object.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    CWinApp* app = CWinApp::Current();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_nCmdShow = showCommand;
    if (!app->InitInstance()) {
        // A failed start-up ends the process here; a main window left over goes first.
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
