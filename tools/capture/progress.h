#pragma once
// A progress bar with the time left, on a terminal; plain lines every tenth
// of the way when the stream is a file or a pipe.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace capture {

class Progress {
public:
    Progress(std::FILE* to, std::int64_t total, bool terminal);
    // `done` of `total` frames are finished.
    void update(std::int64_t done);
    // Ends the bar's line.
    void finish();

    // "[#####-----]  50.0%  frame 5/10  12.0 fps  0:03 left"
    static std::string line(std::int64_t done, std::int64_t total, double seconds, int width = 30);

private:
    std::FILE* to_;
    std::int64_t total_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    int lastTenth_ = 0;
    bool drawn_ = false;
};

// "1:05:03" or "4:07".
std::string clockText(double seconds);

} // namespace capture
