#pragma once

#include <windows.h>

#include "launcher/framework/c_bitmap.h"
#include "launcher/framework/c_dialog.h"
#include "launcher/framework/c_palette.h"
#include "launcher/image_button.h"
#include "launcher/win32_launch_system.h"

// The launcher window: the background picture with the INSTALL, RUN and EXIT buttons. It plays
// the intro video before it is shown, enables INSTALL or RUN by whether the product is
// installed, keeps its background palette realized, and ends with the command chosen.
class LauncherDialog : public CDialog {
  public:
    explicit LauncherDialog(CWnd* parent = nullptr);

    // Makes `palette` the one the window realizes, realizes it, and returns the previous one.
    CPalette* SetDialogPalette(CPalette* palette);
    // TRUE when realizing the current palette changed entries of the system palette; the
    // window and its children are then repainted.
    BOOL RealizeDialogPalette();

    void OnInstall();
    void OnRun();

  protected:
    void DoDataExchange() override {}
    BOOL OnInitDialog() override;
    // IDOK also comes from the keyboard (Enter), whatever control has the focus: it installs
    // only while INSTALL is enabled.
    void OnOK() override;
    void OnCancel() override { CDialog::OnCancel(); }

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    BOOL OnQueryNewPalette() { return RealizeDialogPalette(); }
    void OnPaletteChanged(HWND changedBy);
    int OnCreate();
    void OnPaint();
    LRESULT OnQueryDragIcon() { return Default(); }

    CBitmap background;
    CPalette backgroundPalette;
    ImageButton runButton;
    ImageButton installButton;
    ImageButton exitButton;
    HICON icon = nullptr;
    CPalette* currentPalette = nullptr;
    Win32LaunchSystem system;
};

// Invalidates `hwnd` and every window below it, with erasing.
void InvalidateWithChildren(HWND hwnd);
