#pragma once

#include <windows.h>

#include "graphics/image/dib_surface.h"
#include "launcher/core/button_picture.h"
#include "launcher/framework/c_wnd.h"

// A push button drawn entirely from up to four pictures of one size: up, down, focus and
// disabled. It takes over a dialog's button control (AttachToItem) or makes its own window
// (CreateButton), sizes itself to the up picture, paints the picture that fits its state,
// reports clicks to its parent as WM_COMMAND/BN_CLICKED and shows its own cursor. With
// IBS_HOVERFOCUS | IBS_HOVERWATCH the focus follows the mouse, so the focus picture works as a
// hover picture.
class ImageButton : public CWnd {
  public:
    ImageButton();
    // Destroys a window that still exists, which releases the pictures.
    ~ImageButton() override;

    // Creates a child window of the framework's class and loads the pictures named after `text`
    // from `folder`, or from the program's resources when `folder` is null. TRUE once the
    // window exists, whether or not the pictures loaded.
    virtual BOOL CreateButton(const char* text, DWORD style, const RECT& rect, CWnd* parent,
                              UINT id, unsigned flags, const char* folder);
    // Takes over the parent's control `id` and loads the pictures named after its text. FALSE
    // when there is no such control or no up picture.
    virtual BOOL AttachToItem(UINT id, CWnd* parent, unsigned flags, const char* folder);
    // Drawn over the picture with the paint context still open; nothing here.
    virtual void DrawOverlay(HDC dc);

    // Load the pictures (null names are not wanted). FALSE when the up picture or any wanted
    // optional one did not load; without an up picture nothing stays loaded.
    BOOL LoadFilePictures(const char* up, const char* down, const char* focus,
                          const char* disabled);
    BOOL LoadResourcePictures(const char* up, const char* down, const char* focus,
                              const char* disabled);
    void ReleasePictures();
    // Sizes the window to the up picture, keeping its place.
    void FitToPicture();

    // Handles borrowed from the owner, never destroyed here.
    void SetDrawingPalette(HPALETTE palette) { drawingPalette = palette; }
    void SetCursor(HCURSOR newCursor) { cursor = newCursor; }

    // State reads, for the owner and for tests.
    gfx::DibSurface* Picture(ButtonPicture which) const;
    BOOL IsPressed() const { return pressed; }
    BOOL IsToggledOn() const { return toggledOn; }
    BOOL IsWatchRunning() const { return watchRunning; }

  protected:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

  private:
    // Loads all four from files (fromResource false) or resources of the program.
    BOOL LoadPictures(bool fromResource, const char* const names[4]);
    void SetModeFlags(unsigned flags);
    // Loads the pictures named after `text`, from `folder` or from the resources.
    BOOL LoadNamedPictures(const std::string& text, const char* folder, bool upperCaseExtension);
    bool IsEffectivelyEnabled() const;

    void RepaintNow();
    void NotifyClicked();
    void StartWatch();
    void StopWatch();

    void OnPaint();
    BOOL OnEraseBackground() { return TRUE; }
    void OnKeyDown(UINT key);
    void OnKeyUp(UINT key);
    void OnLeftButtonDown();
    void OnLeftButtonUp();
    LRESULT OnKillFocus();
    LRESULT OnMouseMove();
    LRESULT OnSetFocus();
    LRESULT OnTimer(UINT_PTR timer);
    LRESULT OnSetCursor();
    LRESULT OnEnable();
    void OnDestroyWindow();

    gfx::DibSurface* upPicture = nullptr;
    gfx::DibSurface* downPicture = nullptr;
    gfx::DibSurface* focusPicture = nullptr;
    gfx::DibSurface* disabledPicture = nullptr;
    HPALETTE drawingPalette = nullptr;
    HCURSOR cursor = nullptr;
    BOOL toggledOn = FALSE;
    BOOL toggleMode = FALSE;
    BOOL focusOnHover = FALSE;
    BOOL hoverWatch = FALSE;
    BOOL pressed = FALSE;
    BOOL watchRunning = FALSE;
};
