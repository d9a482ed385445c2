#pragma once
// The command line of murmur-capture.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace capture {

enum class Mode { None, At, Every, Sheet, Video, Bench };

struct CaptureOptions {
    std::string dataDirectory; // empty: unpack the archive beside the program
    int width = 1280;
    int height = 720;
    int fps = 60;
    Mode mode = Mode::None;
    std::vector<double> at;       // --at, in the order given
    std::string outDirectory;     // --out
    int every = 0;                // --every N: frames
    std::optional<double> everySeconds; // --every T (with a point or an s): seconds of loop time
    std::optional<std::pair<int, int>> shots; // --shots A-B: shots counted from 1, both included
    double from = 0.0;            // --from
    std::optional<double> to;     // --to; absent: the end of the show
    std::string sheetFile;        // --sheet
    std::string videoFile;        // --video
    bool json = false;            // --json
    bool drawAll = false;         // --draw-all: every frame drawn, also those not captured
};

enum class ParseStatus { Run, Help, Error };

// Reads the arguments (without the program name). On Error, `error` holds one
// line naming the option and the problem.
ParseStatus parseOptions(const std::vector<std::string>& args, CaptureOptions& options, std::string& error);

std::string usageText();

// The largest width or height accepted on the command line.
inline constexpr int kMaxSide = 16384;
inline constexpr int kMaxFps = 1000;

} // namespace capture
