#include "tools/capture/capture_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace capture {

namespace {

// Times up to a little over a day; anything longer is a typing error.
constexpr double kMaxTime = 100000.0;
// The shortest step of --every in seconds.
constexpr double kMinStep = 0.001;

bool readInt(std::string_view text, int& value)
{
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Seconds as a decimal number with a point, whatever the locale.
bool readTime(std::string_view text, double& value)
{
    if (text.empty() || text.front() == '+') return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool endsWithNoCase(const std::string& text, std::string_view suffix)
{
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

const char* modeOption(Mode mode)
{
    switch (mode) {
    case Mode::At: return "--at";
    case Mode::Every: return "--every";
    case Mode::Sheet: return "--sheet";
    case Mode::Video: return "--video";
    case Mode::Bench: return "--bench";
    case Mode::None: break;
    }
    return "";
}

class Parser {
public:
    Parser(const std::vector<std::string>& args, CaptureOptions& options, std::string& error)
        : args_(args), o_(options), error_(error)
    {
    }

    ParseStatus run()
    {
        for (i_ = 0; i_ < args_.size(); ++i_) {
            std::string arg = args_[i_];
            inlineValue_.reset();
            if (arg.rfind("--", 0) == 0) {
                auto eq = arg.find('=');
                if (eq != std::string::npos) {
                    inlineValue_ = arg.substr(eq + 1);
                    arg.resize(eq);
                }
            }
            if (arg == "--help" || arg == "-h") return ParseStatus::Help;
            if (!option(arg)) return ParseStatus::Error;
        }
        return check() ? ParseStatus::Run : ParseStatus::Error;
    }

private:
    bool fail(std::string message)
    {
        error_ = std::move(message);
        return false;
    }

    bool value(const std::string& name, std::string& out)
    {
        if (inlineValue_) {
            out = *inlineValue_;
            return true;
        }
        if (i_ + 1 >= args_.size()) return fail(name + " needs a value");
        out = args_[++i_];
        return true;
    }

    bool flag(const std::string& name)
    {
        if (inlineValue_) return fail(name + " takes no value");
        return true;
    }

    bool setMode(Mode mode)
    {
        if (o_.mode != Mode::None) {
            if (o_.mode == mode) return fail(std::string(modeOption(mode)) + " is given twice");
            return fail(std::string(modeOption(o_.mode)) + " and " + modeOption(mode) +
                        " cannot be combined: choose one");
        }
        o_.mode = mode;
        return true;
    }

    bool timeValue(const std::string& name, double& out)
    {
        std::string text;
        if (!value(name, text)) return false;
        if (!readTime(text, out)) return fail(name + ": '" + text + "' is not a time in seconds (such as 132.5)");
        if (out < 0.0 || out > kMaxTime) return fail(name + ": " + text + " s is outside 0 to 100000 s");
        return true;
    }

    bool option(const std::string& arg)
    {
        std::string text;
        if (arg == "--data") {
            if (!value(arg, o_.dataDirectory)) return false;
            if (o_.dataDirectory.empty()) return fail("--data: the folder name is empty");
            return true;
        }
        if (arg == "--size") {
            if (!value(arg, text)) return false;
            auto x = text.find('x');
            if (x == std::string::npos || !readInt(std::string_view(text).substr(0, x), o_.width) ||
                !readInt(std::string_view(text).substr(x + 1), o_.height))
                return fail("--size: '" + text + "' is not WIDTHxHEIGHT (such as 1280x720)");
            if (o_.width < 1 || o_.height < 1 || o_.width > kMaxSide || o_.height > kMaxSide)
                return fail("--size: " + text + ": width and height must be 1 to " + std::to_string(kMaxSide));
            return true;
        }
        if (arg == "--fps") {
            if (!value(arg, text)) return false;
            if (!readInt(text, o_.fps) || o_.fps < 1 || o_.fps > kMaxFps)
                return fail("--fps: '" + text + "' is not a whole number of frames per second from 1 to " +
                            std::to_string(kMaxFps));
            return true;
        }
        if (arg == "--at") {
            if (!setMode(Mode::At) || !value(arg, text)) return false;
            std::string_view rest(text);
            while (true) {
                auto comma = rest.find(',');
                std::string_view item = rest.substr(0, comma);
                double t = 0.0;
                if (!readTime(item, t))
                    return fail("--at: '" + std::string(item) + "' is not a time in seconds (such as 132.5)");
                if (t < 0.0 || t > kMaxTime)
                    return fail("--at: " + std::string(item) + " s is outside 0 to 100000 s");
                o_.at.push_back(t);
                if (comma == std::string_view::npos) break;
                rest = rest.substr(comma + 1);
            }
            return true;
        }
        if (arg == "--every") {
            if (!setMode(Mode::Every) || !value(arg, text)) return false;
            // A whole number counts frames; a time (a point or an "s") seconds.
            const bool seconds = text.find('.') != std::string::npos || (!text.empty() && text.back() == 's');
            if (!seconds) {
                if (!readInt(text, o_.every) || o_.every < 1)
                    return fail("--every: '" + text + "' is neither a whole number of frames of at least 1 "
                                "nor a time in seconds (such as 0.5 or 2s)");
                return true;
            }
            double step = 0.0;
            const std::string_view number =
                text.back() == 's' ? std::string_view(text).substr(0, text.size() - 1) : std::string_view(text);
            if (!readTime(number, step))
                return fail("--every: '" + text + "' is not a time in seconds (such as 0.5 or 2s)");
            if (step < kMinStep || step > kMaxTime)
                return fail("--every: " + text + " is outside 0.001 to 100000 s");
            o_.everySeconds = step;
            return true;
        }
        if (arg == "--shots") {
            if (o_.shots) return fail("--shots is given twice");
            if (!value(arg, text)) return false;
            const auto dash = text.find('-');
            int first = 0, last = 0;
            const bool read = dash == std::string::npos
                                  ? readInt(text, first) && readInt(text, last)
                                  : readInt(std::string_view(text).substr(0, dash), first) &&
                                        readInt(std::string_view(text).substr(dash + 1), last);
            if (!read || first < 1 || last < first)
                return fail("--shots: '" + text + "' is not a shot or a range of shots (such as 40 or 40-43)");
            o_.shots = std::make_pair(first, last);
            return true;
        }
        if (arg == "--draw-all") {
            if (!flag(arg)) return false;
            o_.drawAll = true;
            return true;
        }
        if (arg == "--from") {
            if (fromGiven_) return fail("--from is given twice");
            fromGiven_ = true;
            return timeValue(arg, o_.from);
        }
        if (arg == "--to") {
            if (o_.to) return fail("--to is given twice");
            double t = 0.0;
            if (!timeValue(arg, t)) return false;
            o_.to = t;
            return true;
        }
        if (arg == "--out") {
            if (!o_.outDirectory.empty()) return fail("--out is given twice");
            if (!value(arg, o_.outDirectory)) return false;
            if (o_.outDirectory.empty()) return fail("--out: the folder name is empty");
            return true;
        }
        if (arg == "--sheet") {
            if (!setMode(Mode::Sheet) || !value(arg, o_.sheetFile)) return false;
            if (!endsWithNoCase(o_.sheetFile, ".png") && !endsWithNoCase(o_.sheetFile, ".jpg") &&
                !endsWithNoCase(o_.sheetFile, ".jpeg"))
                return fail("--sheet: '" + o_.sheetFile + "' must end in .png or .jpg");
            return true;
        }
        if (arg == "--video") {
            if (!setMode(Mode::Video) || !value(arg, o_.videoFile)) return false;
            if (!endsWithNoCase(o_.videoFile, ".mp4"))
                return fail("--video: '" + o_.videoFile + "' must end in .mp4");
            return true;
        }
        if (arg == "--bench") return flag(arg) && setMode(Mode::Bench);
        if (arg == "--json") {
            if (!flag(arg)) return false;
            o_.json = true;
            return true;
        }
        if (arg.rfind("-", 0) == 0 && arg.size() > 1) return fail("unknown option " + arg);
        return fail("unexpected argument '" + arg + "'");
    }

    bool check()
    {
        const Mode m = o_.mode;
        if (m == Mode::None) return fail("nothing to do: give --at, --every, --sheet, --video or --bench (see --help)");
        const bool wantsOut = m == Mode::At || m == Mode::Every;
        if (wantsOut && o_.outDirectory.empty()) return fail(std::string(modeOption(m)) + " needs --out DIR");
        if (!wantsOut && !o_.outDirectory.empty()) return fail("--out is only used with --at and --every");
        const bool takesRange = m != Mode::At;
        if (!takesRange && (fromGiven_ || o_.to))
            return fail(std::string("--from and --to are not used with ") + modeOption(m));
        if (!takesRange && o_.shots) return fail(std::string("--shots is not used with ") + modeOption(m));
        if (o_.shots && (fromGiven_ || o_.to))
            return fail("--shots and --from or --to cannot be combined: choose one");
        if (o_.json && m != Mode::Bench) return fail("--json is only used with --bench");
        if (o_.to && *o_.to < o_.from) return fail("--to must not be before --from");
        if (o_.to && m != Mode::Every && *o_.to == o_.from) return fail("--from and --to give an empty range");
        if (m == Mode::Video && (o_.width % 2 != 0 || o_.height % 2 != 0))
            return fail("--video needs an even width and height, not " + std::to_string(o_.width) + "x" +
                        std::to_string(o_.height));
        return true;
    }

    const std::vector<std::string>& args_;
    CaptureOptions& o_;
    std::string& error_;
    std::size_t i_ = 0;
    std::optional<std::string> inlineValue_;
    bool fromGiven_ = false;
};

} // namespace

ParseStatus parseOptions(const std::vector<std::string>& args, CaptureOptions& options, std::string& error)
{
    options = CaptureOptions{};
    return Parser(args, options, error).run();
}

std::string usageText()
{
    return "usage: murmur-capture [--data DIR] [--size WxH] [--fps N] MODE\n"
           "Plays the show headless on a fixed frame clock (frame n at n/fps seconds) and captures\n"
           "it. MODE is one of:\n"
           "  --at T1,T2,... --out DIR      a PNG of the first frame at or after each time, named\n"
           "                                frame-TTTT.TTT.png by the time asked for\n"
           "  --every N|T [RANGE] --out DIR\n"
           "                                a PNG of every Nth frame of the range, or one every T\n"
           "                                seconds (0.5, 2s), named by frame time\n"
           "  --sheet FILE.png|FILE.jpg [RANGE]\n"
           "                                a contact sheet: the middle of every shot and the marks\n"
           "                                108.5, 125, 132, 135, 150 and 257.5 s, each labelled\n"
           "  --video FILE.mp4 [RANGE]      H.264 video with the soundtrack as AAC audio\n"
           "  --bench [--json] [RANGE]      start-up times, then frame times with glFinish per frame\n"
           "RANGE is --from T and/or --to T (seconds), or --shots A-B (shots A to B, counted from 1\n"
           "as the sheet labels them; --shots A for one).\n"
           "Options:\n"
           "  --data DIR    the data folder (default: unpack the demodat archive beside the program)\n"
           "  --size WxH    the picture size (default 1280x720)\n"
           "  --fps N       frames per second of the clock (default 60)\n"
           "  --draw-all    draw every frame, also those not captured (the pictures are the same)\n"
           "  --help        this text\n"
           "Every frame of the clock is updated; only the frames captured are drawn. Times are\n"
           "seconds with a decimal point. Without --to the range runs to the end of the soundtrack.\n"
           "Files are written under a temporary name and renamed when complete.\n"
           "Exit status: 0 done, 1 the show or an output failed, 2 a bad command line, an output that\n"
           "cannot be written or a size the driver refuses, 130 interrupted.\n";
}

} // namespace capture
