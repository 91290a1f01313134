#include "launcher/video_dialog.h"

#include <vfw.h>

#include "launcher/framework/c_win_app.h"
#include "launcher/resource_ids.h"

namespace {

constexpr DWORD kMciWindowStyle = MCIWNDF_NOOPEN | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR;  // 0x800A
constexpr char kVideoFile[] = "logo.avi";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollInterval = 500;
constexpr int kEndResult = IDOK;

}  // namespace

const MessageMap VideoDialog::messageMap = [] {
    static constexpr MessageMapEntry entries[] = {
        OnMessage<WM_TIMER, &VideoDialog::OnTimer>(),
    };
    return MakeMessageMap(&CDialog::messageMap, entries);
}();

VideoDialog::VideoDialog(CWnd* parent) : CDialog(IDD_VIDEO, parent) {}

BOOL VideoDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    MCIWndRegisterClass();
    // WS_CHILD is what the MCI window takes for itself under a parent; saying so keeps it a
    // child on systems whose MCI window would otherwise make an owned popup.
    mciWindow =
        MCIWndCreateA(m_hWnd, CWinApp::ResourceHandle(), WS_CHILD | kMciWindowStyle, kVideoFile);

    // Without a video (nothing opened, or no MCI window) the rectangle stays empty and the
    // dialog keeps its template size.
    RECT video{};
    if (mciWindow) ::SendMessageA(mciWindow, MCIWNDM_GET_DEST, 0, reinterpret_cast<LPARAM>(&video));
    if (video.right > 0 && video.bottom > 0) {
        RECT window;
        RECT client;
        GetWindowRect(&window);
        GetClientRect(&client);
        const int width = (window.right - window.left) - (client.right - client.left) + video.right;
        const int height =
            (window.bottom - window.top) - (client.bottom - client.top) + video.bottom;
        MoveWindow(window.left, window.top, width, height, TRUE);
    }
    CenterWindow();

    if (mciWindow) ::SendMessageA(mciWindow, MCI_PLAY, 0, 0);
    SetTimer(kPollTimer, kPollInterval);
    return TRUE;
}

LRESULT VideoDialog::OnTimer() {
    const LRESULT mode = mciWindow ? ::SendMessageA(mciWindow, MCIWNDM_GETMODEA, 0, 0) : 0;
    if (mode != MCI_MODE_PLAY) {
        KillTimer(kPollTimer);
        EndDialog(kEndResult);
    }
    return Default();
}
