#include "tools/gfx/progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace gfx_tool {

namespace {

ProgressBar* current = nullptr;

constexpr int kBarWidth = 40;

void DrawOnCurrent(int32_t, int32_t percent) {
    if (current) current->Show(percent);
}

}  // namespace

ProgressBar::ProgressBar(std::string label)
    : label_(std::move(label)), visible_(isatty(2) != 0), previous_(current) {
    current = this;
}

ProgressBar::~ProgressBar() {
    if (shown_ >= 0) {
        Show(100);
        std::fputc('\n', stderr);
    }
    current = previous_;
}

void ProgressBar::Show(int32_t percent) {
    if (!visible_) return;
    percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", label_.c_str(), filled,
                 "########################################", kBarWidth - filled, "", int(percent));
    std::fflush(stderr);
}

gfx::ConvertProgress ProgressBar::Callback() { return DrawOnCurrent; }

}  // namespace gfx_tool
