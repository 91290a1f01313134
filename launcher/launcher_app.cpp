#include "launcher/launcher_app.h"

#include "launcher/launcher_dialog.h"

namespace {

LauncherApp theApp;

}  // namespace

BOOL LauncherApp::InitInstance() {
    {
        LauncherDialog dialog(nullptr);
        // The main window before it has a handle: windows made later without a parent (the
        // intro video) are owned by the launcher window.
        m_pMainWnd = &dialog;
        dialog.DoModal();
    }
    return FALSE;
}
