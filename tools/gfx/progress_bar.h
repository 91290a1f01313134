#pragma once

#include <cstdint>
#include <string>

#include "graphics/image/surface.h"

namespace gfx_tool {

// A one-line progress bar on standard error for the operations that report a percentage. It is
// drawn only when standard error is a terminal, so that logs and pipes get nothing but messages.
class ProgressBar {
  public:
    explicit ProgressBar(std::string label);
    // Ends the line when anything was drawn.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(int32_t percent);

    // The callback to hand ConvertFormat with userData 0: it draws on the bar made last (the
    // library's user data is a 32-bit integer, too narrow for a pointer).
    static gfx::ConvertProgress Callback();

  private:
    std::string label_;
    bool visible_ = false;
    int32_t shown_ = -1;
    ProgressBar* previous_ = nullptr;
};

}  // namespace gfx_tool
