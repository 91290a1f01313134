#include "launcher/framework/c_win_app.h"

CWinApp* CWinApp::current = nullptr;

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { current = this; }

CWinApp::~CWinApp() {
    if (current == this) current = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    exitCode = got == 0 ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

HINSTANCE CWinApp::ResourceHandle() {
    if (current && current->m_hInstance) return current->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}
