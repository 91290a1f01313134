#pragma once

#include <windows.h>

#include <cstddef>

#include "launcher/framework/c_wnd.h"

// A modal dialog made from a dialog template resource.
//
// A dialog created without a parent is owned by the application's main window (when that has a
// window); the owner is disabled while the dialog runs. A dialog whose template sits at (0, 0),
// that keeps its place through OnInitDialog and has no visible owner is centred on the screen.
// IDOK and IDCANCEL commands reach OnOK and OnCancel, whoever sends them.
class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // A dialog from a template held in memory (`size` bytes) instead of a resource.
    CDialog(const void* dialogTemplate, size_t size, CWnd* parent = nullptr);

    // Creates the dialog, runs it until EndDialog and destroys its window. Returns the value
    // given to EndDialog, or -1 when the dialog cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

  protected:
    virtual void DoDataExchange() {}
    // Runs the data exchange; TRUE lets the dialog manager set the initial focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    void HandleOK() { OnOK(); }
    void HandleCancel() { OnCancel(); }
    // The owner of a dialog without parent: the main window's top-level window, if any.
    HWND OwnerWindow() const;
    void RunModalLoop();

    UINT templateId = 0;
    const void* indirectTemplate = nullptr;
    size_t indirectSize = 0;
    CWnd* parentWnd;
    bool templateAtOrigin = false;
    bool inModalLoop = false;
    INT_PTR modalResult = -1;
};
