#include "tools/capture/progress.h"

#include <algorithm>
#include <cmath>

namespace capture {

std::string clockText(double seconds)
{
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

Progress::Progress(std::FILE* to, std::int64_t total, bool terminal)
    : to_(to), total_(std::max<std::int64_t>(total, 1)), terminal_(terminal),
      start_(std::chrono::steady_clock::now()), lastDraw_(start_)
{
}

std::string Progress::line(std::int64_t done, std::int64_t total, double seconds, int width)
{
    total = std::max<std::int64_t>(total, 1);
    done = std::clamp<std::int64_t>(done, 0, total);
    const double share = static_cast<double>(done) / static_cast<double>(total);
    const int filled = static_cast<int>(share * width);
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(width - filled), '-') + "]";
    char text[160];
    if (done > 0 && seconds > 0.0) {
        const double fps = static_cast<double>(done) / seconds;
        const double left = static_cast<double>(total - done) / fps;
        std::snprintf(text, sizeof text, " %5.1f%%  frame %lld/%lld  %.1f fps  %s left", share * 100.0,
                      static_cast<long long>(done), static_cast<long long>(total), fps, clockText(left).c_str());
    } else {
        std::snprintf(text, sizeof text, " %5.1f%%  frame %lld/%lld", share * 100.0, static_cast<long long>(done),
                      static_cast<long long>(total));
    }
    return bar + text;
}

void Progress::update(std::int64_t done)
{
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - start_).count();
    if (terminal_) {
        if (done < total_ && drawn_ && now - lastDraw_ < std::chrono::milliseconds(250)) return;
        lastDraw_ = now;
        drawn_ = true;
        // Clear to the end of the line: the text may get shorter.
        std::fprintf(to_, "\r%s\x1b[K", line(done, total_, seconds).c_str());
        std::fflush(to_);
        return;
    }
    const int tenth = static_cast<int>(std::min<std::int64_t>(done * 10 / total_, 10));
    if (tenth > lastTenth_) {
        lastTenth_ = tenth;
        std::fprintf(to_, "%s\n", line(done, total_, seconds).c_str());
        std::fflush(to_);
    }
}

void Progress::finish()
{
    if (terminal_ && drawn_) {
        std::fputc('\n', to_);
        std::fflush(to_);
    }
    drawn_ = false;
}

} // namespace capture
