#pragma once

#include <windows.h>

#include "launcher/framework/c_dialog.h"

// The intro video: a captionless window, centred on the screen and sized to the video, that
// plays "logo.avi" once through an MCI window and closes itself when playback has stopped.
class VideoDialog : public CDialog {
  public:
    explicit VideoDialog(CWnd* parent = nullptr);

  protected:
    void DoDataExchange() override {}
    BOOL OnInitDialog() override;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    // Polls the playback mode, whatever the timer; ends the dialog once the video is no longer
    // playing.
    LRESULT OnTimer();

    HWND mciWindow = nullptr;
};
