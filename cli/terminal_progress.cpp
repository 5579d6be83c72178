#include "cli/terminal_progress.h"

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace senki::cli {

namespace {
constexpr int kBarWidth = 30;
}

TerminalProgress::TerminalProgress(std::string stage)
    : stage_(std::move(stage)), enabled_(::isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now())
{
}

TerminalProgress::~TerminalProgress() { Finish(); }

void TerminalProgress::Update(int percent)
{
    if (!enabled_)
        return;
    percent = std::clamp(percent, 0, 100);
    const auto now = std::chrono::steady_clock::now();
    if (percent == lastPercent_ || (percent < 100 && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)))
        return;
    lastPercent_ = percent;
    lastDraw_ = now;
    drawn_ = true;

    const double elapsed = std::chrono::duration<double>(now - start_).count();
    char left[32] = "--:--";
    if (percent > 0) {
        const int seconds = int(elapsed * (100 - percent) / percent + 0.5);
        std::snprintf(left, sizeof left, "%d:%02d", seconds / 60, seconds % 60);
    }
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%  %s left ", stage_.c_str(), std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(kBarWidth - filled), '.').c_str(), percent, left);
    std::fflush(stderr);
}

void TerminalProgress::Finish()
{
    if (enabled_ && drawn_) {
        std::fputc('\n', stderr);
        drawn_ = false;
    }
}

}  // namespace senki::cli
