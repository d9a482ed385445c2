#include "tools/capture/capture_run.h"

#include "tools/capture/bench_report.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/contact_sheet.h"
#include "tools/capture/decimal_text.h"
#include "tools/capture/frame_clock.h"
#include "tools/capture/frame_grabber.h"
#include "tools/capture/frame_range.h"
#include "tools/capture/headless_window.h"
#include "tools/capture/output_file.h"
#include "tools/capture/progress.h"
#include "tools/capture/soundtrack_audio.h"
#include "tools/capture/video_encoder.h"
#include "tools/pictures/image_writers.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <filesystem>
#include <memory>

namespace capture {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) { gInterrupted = 1; }

// Ctrl-C or a termination request ends the run between two frames, so that
// the outputs in progress are removed rather than left half written.
class InterruptGuard {
public:
    InterruptGuard()
    {
        gInterrupted = 0;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptGuard()
    {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

std::string timeText(double seconds) { return decimalText(seconds, 3) + " s"; }

// A picture written under a temporary name and renamed when complete.
bool writePicture(const std::string& path, const pictures::Image& image, bool jpeg, std::string& error)
{
    PendingFile file(path);
    std::string reason;
    const bool written = jpeg ? pictures::writeJpeg(file.temporaryPath(), image, 90, reason)
                              : pictures::writePng(file.temporaryPath(), image, reason);
    if (!written) {
        // The writers name the file they wrote to; name the one asked for.
        if (reason.rfind(file.temporaryPath(), 0) == 0) reason = path + reason.substr(file.temporaryPath().size());
        error = reason;
        return false;
    }
    return file.commit(error);
}

class Run {
public:
    Run(const CaptureOptions& options, const Console& console)
        : o_(options), console_(console), clock_(options.fps)
    {
    }

    int main(const ShowOpener& openShow)
    {
        std::string error;
        if (!prepareOutputs(error)) return fail(kExitUsage, error);
        if (o_.mode == Mode::Sheet) {
            font_ = pictures::FontFace::open(MURMUR_SHEET_FONT, error);
            if (!font_) return fail(kExitFailed, error);
        }
        if (!window_.open(o_.width, o_.height, error)) return fail(kExitUsage, error);

        show_ = openShow(ShowRequest{o_.dataDirectory, o_.width, o_.height}, error);
        if (!show_.show) return fail(kExitFailed, error.empty() ? "the show could not be opened" : error);
        grabber_ = std::make_unique<FrameGrabber>(o_.width, o_.height);

        InterruptGuard interrupts;
        switch (o_.mode) {
        case Mode::At: return runAt();
        case Mode::Every: return runEvery();
        case Mode::Sheet: return runSheet();
        case Mode::Video: return runVideo();
        case Mode::Bench: return runBench();
        case Mode::None: break;
        }
        return kExitUsage;
    }

private:
    int fail(int code, const std::string& message)
    {
        if (progress_) progress_->finish();
        std::fprintf(console_.err, "murmur-capture: %s\n", message.c_str());
        return code;
    }

    void note(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        std::va_list args;
        va_start(args, format);
        std::fputs("murmur-capture: ", console_.err);
        std::vfprintf(console_.err, format, args);
        std::fputc('\n', console_.err);
        va_end(args);
    }

    bool prepareOutputs(std::string& error)
    {
        switch (o_.mode) {
        case Mode::At:
        case Mode::Every: return prepareOutputFolder(o_.outDirectory, error);
        case Mode::Sheet: return prepareOutputFile(o_.sheetFile, error);
        case Mode::Video: return prepareOutputFile(o_.videoFile, error);
        default: return true;
        }
    }

    std::string soundtrackPath() const { return show_.dataDirectory + "music/soundtrk.mp3"; }

    // The frames a run covers: those of --shots, or of --from to --to (to
    // the end of the show without --to). The range's end is left out of a
    // video and a benchmark (a stretch of time) and kept for pictures.
    bool coveredFrames(bool endIncluded, FrameRange& range, std::string& error)
    {
        double end = 0.0;
        if (!rangeEnd(end, error)) return false;
        if (o_.shots)
            return framesOfShots(show_.show->mainCameraEndTimes(), {o_.shots->first, o_.shots->second}, end, clock_,
                                 range, error);
        range = endIncluded ? framesBetween(clock_, o_.from, end)
                            : FrameRange{clock_.firstFrameAtOrAfter(o_.from), clock_.firstFrameAtOrAfter(end) - 1};
        if (!range.empty()) return true;
        error = "no frame lies between " + timeText(o_.from) + " and " + timeText(end) + " at " +
                std::to_string(o_.fps) + " fps";
        return false;
    }

    // Where a range without --to ends: the end of the soundtrack, or else the
    // end of the last shot.
    bool rangeEnd(double& end, std::string& error)
    {
        if (o_.to) {
            end = *o_.to;
            return true;
        }
        SoundtrackAudio music;
        std::string musicError;
        if (music.open(soundtrackPath(), musicError)) {
            end = music.lengthSeconds();
            return true;
        }
        const std::vector<float> ends = show_.show->mainCameraEndTimes();
        if (!ends.empty()) {
            end = *std::max_element(ends.begin(), ends.end());
            return true;
        }
        error = "the show's length is unknown (" + musicError + ", and no shots): give --to";
        return false;
    }

    enum class Played { Done, Ended, Interrupted, Failed };

    // Plays frames 0 to `last`. Every frame is updated; the frames `wanted`
    // names are rendered and handed to `afterRender` (frame, update start,
    // update end, render end, error), which may stop the run with false.
    // The others are advanced without drawing (or drawn unseen with
    // --draw-all): the wanted frames come out the same either way.
    template <typename Wanted, typename AfterRender>
    Played play(std::int64_t last, Wanted&& wanted, AfterRender&& afterRender, std::string& error)
    {
        std::int64_t total = 0;
        for (std::int64_t n = 0; n <= last; ++n) total += wanted(n) ? 1 : 0;
        progress_ = std::make_unique<Progress>(console_.err, total, console_.errIsTerminal);
        std::int64_t done = 0;
        for (std::int64_t n = 0; n <= last; ++n) {
            if (gInterrupted) {
                progress_->finish();
                return Played::Interrupted;
            }
            const bool seen = wanted(n);
            const float timeMs = clock_.timeMs(n);
            const float deltaMs = clock_.deltaMs(n);
            const Clock::time_point t0 = Clock::now();
            const bool goOn = show_.show->update(timeMs, deltaMs);
            const Clock::time_point t1 = Clock::now();
            const bool rendered = seen || o_.drawAll ? show_.show->render(timeMs, deltaMs)
                                                     : show_.show->advance(timeMs, deltaMs);
            const Clock::time_point t2 = Clock::now();
            if (!rendered || (!goOn && n < last)) {
                // The last frame after update asked to stop is still drawn
                // and may be one of those wanted.
                if (rendered && seen && !afterRender(n, t0, t1, t2, error)) {
                    progress_->finish();
                    return Played::Failed;
                }
                progress_->finish();
                error = "the show ended at " + timeText(clock_.seconds(n)) + ", before " +
                        timeText(clock_.seconds(last)) + " was reached";
                return Played::Ended;
            }
            if (!seen) continue;
            if (!afterRender(n, t0, t1, t2, error)) {
                progress_->finish();
                return Played::Failed;
            }
            progress_->update(++done);
        }
        progress_->finish();
        return Played::Done;
    }

    int finishPlay(Played played, const std::string& error, const std::string& whatIsLost)
    {
        switch (played) {
        case Played::Done: return kExitOk;
        case Played::Interrupted: return fail(kExitInterrupted, "interrupted; " + whatIsLost);
        case Played::Ended:
        case Played::Failed: break;
        }
        return fail(kExitFailed, error);
    }

    // Whether frame n is one of a sorted list's.
    template <typename Item>
    static auto listed(const std::vector<Item>& items)
    {
        return [&items](std::int64_t n) {
            return std::binary_search(items.begin(), items.end(), n, [](const auto& a, const auto& b) {
                return frameOf(a) < frameOf(b);
            });
        };
    }
    static std::int64_t frameOf(std::int64_t n) { return n; }
    static std::int64_t frameOf(const Shot& shot) { return shot.frame; }
    static std::int64_t frameOf(const SheetEntry& entry) { return entry.frame; }

    int writeShots(const std::vector<Shot>& shots)
    {
        std::string error;
        std::size_t next = 0;
        std::size_t written = 0;
        auto capture = [&](std::int64_t n, Clock::time_point, Clock::time_point, Clock::time_point,
                           std::string& err) {
            grabber_->grab();
            const pictures::Image& picture = grabber_->picture();
            for (; next < shots.size() && shots[next].frame == n; ++next) {
                const std::string path = (std::filesystem::path(o_.outDirectory) / shots[next].fileName).string();
                if (!writePicture(path, picture, false, err)) return false;
                ++written;
            }
            return true;
        };
        const Played played = play(shots.back().frame, listed(shots), capture, error);
        if (written > 0) note("%zu of %zu pictures written to %s", written, shots.size(), o_.outDirectory.c_str());
        return finishPlay(played, error, "the pictures written so far are complete");
    }

    int runAt()
    {
        std::vector<Shot> shots;
        std::string error;
        if (!selectAtTimes(clock_, o_.at, shots, error)) return fail(kExitUsage, error);
        return writeShots(shots);
    }

    int runEvery()
    {
        FrameRange range;
        std::string error;
        if (!coveredFrames(true, range, error)) return fail(kExitUsage, error);
        return writeShots(o_.everySeconds ? selectEverySeconds(clock_, *o_.everySeconds, range)
                                          : selectEveryFrames(clock_, o_.every, range));
    }

    int runSheet()
    {
        std::vector<SheetEntry> entries = planSheet(show_.show->mainCameraEndTimes(), clock_);
        std::string error;
        if (o_.shots || o_.to || o_.from > 0.0) {
            FrameRange range;
            if (!coveredFrames(true, range, error)) return fail(kExitUsage, error);
            std::erase_if(entries, [&](const SheetEntry& e) { return !range.holds(e.frame); });
            if (entries.empty()) return fail(kExitUsage, "no shot's middle and no mark lies in the range");
        }
        const SheetLayout layout = layoutSheet(static_cast<int>(entries.size()), o_.width, o_.height);
        ContactSheet sheet(layout, *font_);
        std::size_t next = 0;
        auto capture = [&](std::int64_t n, Clock::time_point, Clock::time_point, Clock::time_point, std::string&) {
            grabber_->grab();
            const pictures::Image& picture = grabber_->picture();
            for (; next < entries.size() && entries[next].frame == n; ++next)
                sheet.place(static_cast<int>(next), picture, sheetLabel(entries[next], clock_), entries[next].mark);
            return true;
        };
        const Played played = play(entries.back().frame, listed(entries), capture, error);
        if (played != Played::Done) return finishPlay(played, error, o_.sheetFile + " not written");
        if (!writePicture(o_.sheetFile, sheet.image(), isJpegName(o_.sheetFile), error))
            return fail(kExitFailed, error);
        note("%s: %zu frames, %dx%d", o_.sheetFile.c_str(), entries.size(), layout.width, layout.height);
        return kExitOk;
    }

    int runVideo()
    {
        FrameRange range;
        std::string error;
        if (!coveredFrames(false, range, error)) return fail(kExitUsage, error);
        const std::int64_t first = range.first;
        const std::int64_t stop = range.last + 1;

        SoundtrackAudio music;
        if (!music.open(soundtrackPath(), error)) note("%s; the video's sound is silent", error.c_str());
        error.clear();
        music.seek(std::llround(clock_.seconds(first) * music.rate()));
        std::vector<std::int16_t> sound(static_cast<std::size_t>(music.rate() / o_.fps + 2) * 2);
        std::int64_t soundFrames = std::llround(clock_.seconds(first) * music.rate());

        PendingFile file(o_.videoFile);
        VideoEncoder encoder;
        VideoSettings settings;
        settings.width = o_.width;
        settings.height = o_.height;
        settings.fps = o_.fps;
        settings.sampleRate = music.rate();
        if (!encoder.open(file.temporaryPath(), settings, error)) return fail(kExitFailed, o_.videoFile + ": " + error);

        auto capture = [&](std::int64_t n, Clock::time_point, Clock::time_point, Clock::time_point,
                           std::string& err) {
            if (!encoder.addFrame(grabber_->grab(), err)) return false;
            // The sound that belongs to this frame: up to the next frame's time.
            const std::int64_t target = std::llround(clock_.seconds(n + 1) * music.rate());
            const std::size_t count = static_cast<std::size_t>(target - soundFrames);
            music.read(sound.data(), count);
            soundFrames = target;
            return encoder.addAudio(sound.data(), count, err);
        };
        const Played played = play(range.last, [&](std::int64_t n) { return n >= first; }, capture, error);
        if (played != Played::Done) {
            if (!error.empty() && played == Played::Failed) error = o_.videoFile + ": " + error;
            return finishPlay(played, error, o_.videoFile + " not written");
        }
        if (!encoder.finish(error)) return fail(kExitFailed, o_.videoFile + ": " + error);
        if (!file.commit(error)) return fail(kExitFailed, error);
        note("%s: %lld frames at %d fps, %s to %s", o_.videoFile.c_str(), static_cast<long long>(encoder.videoFrames()),
             o_.fps, timeText(clock_.seconds(first)).c_str(), timeText(clock_.seconds(stop)).c_str());
        return kExitOk;
    }

    int runBench()
    {
        FrameRange range;
        std::string error;
        if (!coveredFrames(false, range, error)) return fail(kExitUsage, error);
        const std::int64_t first = range.first;
        const std::int64_t stop = range.last + 1;

        BenchSamples samples(static_cast<std::size_t>(stop - first));
        Clock::time_point started{};
        Clock::time_point finished{};
        // The frame before the first measured one is drawn too, so that the
        // first measurement starts as every other does: after a drawn frame,
        // with an idle GPU.
        auto measure = [&](std::int64_t n, Clock::time_point t0, Clock::time_point t1, Clock::time_point t2,
                           std::string&) {
            glFinish();
            if (n < first) return true;
            const Clock::time_point t3 = Clock::now();
            if (n == first) started = t0;
            finished = t3;
            samples.add(msBetween(t0, t1), msBetween(t1, t2), msBetween(t2, t3));
            return true;
        };
        const Played played = play(range.last, [&](std::int64_t n) { return n + 1 >= first; }, measure, error);
        if (played != Played::Done) return finishPlay(played, error, "no figures");

        BenchReport report;
        report.renderer = window_.renderer();
        report.width = o_.width;
        report.height = o_.height;
        report.fps = o_.fps;
        report.from = clock_.seconds(first);
        report.to = clock_.seconds(stop);
        report.startup = show_.times;
        report.frames = static_cast<std::int64_t>(samples.frame.size());
        report.seconds = std::chrono::duration<double>(finished - started).count();
        report.frame = summarize(samples.frame);
        report.update = summarize(samples.update);
        report.submit = summarize(samples.submit);
        report.gpuWait = summarize(samples.gpuWait);
        const std::string text = o_.json ? benchJson(report) : benchText(report);
        std::fputs(text.c_str(), console_.out);
        std::fflush(console_.out);
        return kExitOk;
    }

    const CaptureOptions& o_;
    Console console_;
    FrameClock clock_;
    std::unique_ptr<pictures::FontFace> font_;
    HeadlessWindow window_;
    OpenedShow show_; // released before the window that holds its context
    std::unique_ptr<FrameGrabber> grabber_;
    std::unique_ptr<Progress> progress_;
};

} // namespace

int captureMain(const std::vector<std::string>& args, const ShowOpener& openShow, const Console& console)
{
    CaptureOptions options;
    std::string error;
    switch (parseOptions(args, options, error)) {
    case ParseStatus::Help:
        std::fputs(usageText().c_str(), console.out);
        return kExitOk;
    case ParseStatus::Error:
        std::fprintf(console.err, "murmur-capture: %s (see --help)\n", error.c_str());
        return kExitUsage;
    case ParseStatus::Run: break;
    }
    return Run(options, console).main(openShow);
}

} // namespace capture
