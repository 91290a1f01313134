#pragma once

#include "launcher/framework/c_win_app.h"

// The application: runs the launcher dialog once and then lets the process end.
class LauncherApp : public CWinApp {
  public:
    LauncherApp() : CWinApp(nullptr) {}

    // Always FALSE: the launcher has no message loop of its own after its dialog.
    BOOL InitInstance() override;
};
