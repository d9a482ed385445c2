#pragma once
// What murmur-capture drives: the show, one frame at a time, on the GL context
// of the capture window. Times are milliseconds of the fixed frame clock.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace capture {

class IShow {
public:
    virtual ~IShow() = default;
    // Advances the timeline to the frame at loop time timeMs; deltaMs is the
    // time since the previous frame. False ends the run after this frame.
    virtual bool update(float timeMs, float deltaMs) = 0;
    // Draws the frame into the window's back buffer (and presents it; on the
    // offscreen surface the picture stays readable after the swap). False
    // ends the run at once.
    virtual bool render(float timeMs, float deltaMs) = 0;
    // Carries the frame's state on to the next frame without drawing it: a
    // frame nobody sees. The frames drawn after it are the same as if it had
    // been rendered. False ends the run at once.
    virtual bool advance(float timeMs, float deltaMs) = 0;
    // The end times in seconds of the main cameras, in list order: the shot
    // list. Empty when the show has no main cameras.
    virtual std::vector<float> mainCameraEndTimes() const = 0;
};

// Seconds spent opening the show, as the benchmark reports them.
struct StartupTimes {
    double extraction = 0.0; // unpacking the data archive (0 with --data)
    double content = 0.0;    // loading every content file and building the scene
    double programs = 0.0;   // preparing the material programs
    double total() const { return extraction + content + programs; }
};

struct ShowRequest {
    std::string dataDirectory; // empty: unpack the archive beside the program
    int width = 0;
    int height = 0;
};

struct OpenedShow {
    std::unique_ptr<IShow> show;
    std::string dataDirectory; // where the content was loaded from, ending in '/'
    StartupTimes times;
};

// Opens the show on the current GL context (the capture window's). On
// failure returns an OpenedShow without a show and sets `error` to one line.
using ShowOpener = std::function<OpenedShow(const ShowRequest& request, std::string& error)>;

} // namespace capture
