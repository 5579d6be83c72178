#pragma once
// A progress bar with percentage and time left, drawn on standard error while
// it is a terminal; silent otherwise.

#include <chrono>
#include <string>

namespace senki::cli {

class TerminalProgress {
public:
    explicit TerminalProgress(std::string stage);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Shows `percent` (0..100); redraws at most a few times a second.
    void Update(int percent);
    // Ends the line of a bar that was drawn.
    void Finish();

private:
    std::string stage_;
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace senki::cli
