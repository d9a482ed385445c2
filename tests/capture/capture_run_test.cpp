#include "tools/capture/capture_run.h"
#include "tools/capture/contact_sheet.h"

#include "tests/capture/media_probe.h"
#include "tests/capture/png_picture.h"
#include "tests/capture/synthetic_show.h"
#include "tools/music/mp3_codec.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using capturetest::Picture;
using capturetest::readPng;

using capturetest::FrameCall;
using capturetest::SyntheticScript;
using capturetest::SyntheticShow;

struct Result {
    int code = -1;
    std::string out, err;
};

Result runCapture(const std::vector<std::string>& args, const capture::ShowOpener& opener)
{
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0, errSize = 0;
    capture::Console console;
    console.out = open_memstream(&outText, &outSize);
    console.err = open_memstream(&errText, &errSize);
    Result r;
    r.code = capture::captureMain(args, opener, console);
    std::fclose(console.out);
    std::fclose(console.err);
    r.out.assign(outText, outSize);
    r.err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return r;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool isWhite(const std::uint8_t* p) { return p[0] > 240 && p[1] > 240 && p[2] > 240; }
bool isRed(const std::uint8_t* p) { return p[0] > 240 && p[1] < 15 && p[2] < 15; }
bool isBackground(const std::uint8_t* p) { return p[0] < 30 && p[2] > 60 && p[2] < 90; }

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

std::string lastLine(std::string text)
{
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

class CaptureRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("murmur-capture-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "data");
    }
    // MURMUR_KEEP_TEST_FILES=1 leaves the outputs in place to be looked at.
    void TearDown() override
    {
        if (!getenv("MURMUR_KEEP_TEST_FILES")) fs::remove_all(dir_);
    }

    std::string data() const { return (dir_ / "data").string() + "/"; }

    // A soundtrack of `seconds`: silence for the first second, then a loud tone.
    void writeSoundtrack(double seconds)
    {
        const int frames = static_cast<int>(seconds * 44100);
        std::vector<std::int16_t> pcm(static_cast<std::size_t>(frames) * 2, 0);
        for (int i = 44100; i < frames; ++i)
            pcm[i * 2] = pcm[i * 2 + 1] = static_cast<std::int16_t>(12000 * std::sin(i * 2 * M_PI * 330 / 44100.0));
        std::vector<unsigned char> mp3;
        std::string error;
        ASSERT_TRUE(music::encodeMp3(pcm, 44100, 128, mp3, error)) << error;
        fs::create_directories(dir_ / "data" / "music");
        std::ofstream(dir_ / "data" / "music" / "soundtrk.mp3", std::ios::binary)
            .write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
    }

    // Checks the picture of the synthetic show at loop time t.
    static void expectFrameAt(const Picture& p, double t, const std::string& what)
    {
        ASSERT_EQ(p.width, 64) << what;
        ASSERT_EQ(p.height, 48) << what;
        EXPECT_TRUE(isRed(p.at(30, 1))) << what << ": the band is along the top edge";
        EXPECT_TRUE(isBackground(p.at(30, 46))) << what;
        const int left = SyntheticShow::squareLeft(t, 64);
        EXPECT_TRUE(isWhite(p.at(left + 6, SyntheticShow::kSquareTop + 6))) << what << ": the square at " << left;
        const int away = (left + 32) % 52;
        EXPECT_TRUE(isBackground(p.at(away + 6, SyntheticShow::kSquareTop + 6))) << what;
    }

    fs::path dir_;
};

TEST_F(CaptureRunTest, AtWritesEachAskedFrameUprightAndStopsAfterTheLast)
{
    for (const bool drawAll : {false, true}) {
        std::vector<FrameCall> updates, renders, advances;
        const fs::path out = dir_ / (drawAll ? "all" : "shots");
        std::vector<std::string> args = {"--size", "64x48", "--fps", "20", "--at", "0.5,0.25", "--out", out.string()};
        if (drawAll) args.push_back("--draw-all");
        const Result r =
            runCapture(args, capturetest::syntheticOpener({}, data(), nullptr, &updates, &renders, &advances));
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(namesIn(out), (std::vector<std::string>{"frame-0000.250.png", "frame-0000.500.png"}));
        expectFrameAt(readPng(out / "frame-0000.250.png"), 0.25, "0.25 s");
        expectFrameAt(readPng(out / "frame-0000.500.png"), 0.5, "0.5 s");

        // Every frame up to the last one asked for, and not one more, is
        // updated with the clock's time and step; only the two written are
        // drawn (every one with --draw-all), the others advanced with the
        // same time and step.
        ASSERT_EQ(updates.size(), 11u);
        const std::vector<std::size_t> written = {5, 10};
        ASSERT_EQ(renders.size(), drawAll ? 11u : 2u);
        ASSERT_EQ(advances.size(), drawAll ? 0u : 9u);
        std::size_t nextRender = 0, nextAdvance = 0;
        for (std::size_t n = 0; n < updates.size(); ++n) {
            EXPECT_EQ(updates[n].timeMs, 50.0f * static_cast<float>(n));
            EXPECT_EQ(updates[n].deltaMs, n == 0 ? 0.0f : 50.0f);
            const bool isWritten = std::find(written.begin(), written.end(), n) != written.end();
            const FrameCall& call = drawAll || isWritten ? renders[nextRender++] : advances[nextAdvance++];
            EXPECT_EQ(call.timeMs, updates[n].timeMs) << n;
            EXPECT_EQ(call.deltaMs, updates[n].deltaMs) << n;
        }
    }
}

TEST_F(CaptureRunTest, EveryWritesEachNthFrameOfTheRangeNamedByItsTime)
{
    const fs::path out = dir_ / "range";
    const Result r = runCapture({"--size", "64x48", "--fps", "20", "--every", "3", "--from", "0.1", "--to", "0.5",
                                 "--out", out.string()},
                                capturetest::syntheticOpener({}, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(namesIn(out),
              (std::vector<std::string>{"frame-0000.100.png", "frame-0000.250.png", "frame-0000.400.png"}));
    expectFrameAt(readPng(out / "frame-0000.400.png"), 0.4, "0.4 s");
}

TEST_F(CaptureRunTest, SheetShowsEveryShotAndMarkInItsCell)
{
    const fs::path sheetPath = dir_ / "sheets" / "sheet.png";
    SyntheticScript script;
    script.endTimes = {0.5f, 1.5f};
    // A slow clock keeps the run to the last mark (257.5 s) short.
    const Result r = runCapture({"--size", "64x48", "--fps", "4", "--sheet", sheetPath.string()},
                                capturetest::syntheticOpener(script, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(namesIn(sheetPath.parent_path()), std::vector<std::string>{"sheet.png"});
    const capture::SheetLayout layout = capture::layoutSheet(2 + 6, 64, 48);
    const Picture sheet = readPng(sheetPath);
    ASSERT_EQ(sheet.width, layout.width);
    ASSERT_EQ(sheet.height, layout.height);
    // Cells in time order: the shots' middles (0.25 and 1.0 s), then the marks.
    const double times[] = {0.25, 1.0, 108.5, 125.0, 132.0, 135.0, 150.0, 257.5};
    for (int i = 0; i < 8; ++i) {
        const int x = layout.thumbX(i), y = layout.cellY(i);
        const int left = SyntheticShow::squareLeft(times[i], 64);
        EXPECT_TRUE(isRed(sheet.at(x + 30, y + 1))) << "cell " << i;
        EXPECT_TRUE(isWhite(sheet.at(x + left + 6, y + SyntheticShow::kSquareTop + 6))) << "cell " << i;
    }
}

// An author asks for shots by number: pictures through them every so many
// seconds, or a sheet of their middles alone; nothing after them is played.
TEST_F(CaptureRunTest, ShotsByNumberForPicturesAndTheSheet)
{
    SyntheticScript script;
    script.endTimes = {0.5f, 1.0f, 2.0f, 3.0f};
    std::vector<FrameCall> updates, renders;
    const fs::path out = dir_ / "shots";
    Result r = runCapture({"--size", "64x48", "--fps", "20", "--shots", "2-3", "--every", "0.4", "--out", out.string()},
                          capturetest::syntheticOpener(script, data(), nullptr, &updates, &renders));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"frame-0000.550.png", "frame-0000.950.png",
                                                      "frame-0001.350.png", "frame-0001.750.png"}));
    expectFrameAt(readPng(out / "frame-0001.350.png"), 1.35, "1.35 s");
    EXPECT_EQ(updates.size(), 36u) << "played up to the last picture";
    EXPECT_EQ(renders.size(), 4u);

    const fs::path sheetPath = dir_ / "sheet.png";
    r = runCapture({"--size", "64x48", "--fps", "20", "--shots", "3-4", "--sheet", sheetPath.string()},
                   capturetest::syntheticOpener(script, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    const Picture sheet = readPng(sheetPath);
    const capture::SheetLayout two = capture::layoutSheet(2, 64, 48);
    ASSERT_EQ(sheet.width, two.width) << "the middles of shots 3 and 4 alone";
    ASSERT_EQ(sheet.height, two.height);
    EXPECT_TRUE(isWhite(sheet.at(two.thumbX(1) + SyntheticShow::squareLeft(2.5, 64) + 6,
                                 two.cellY(1) + SyntheticShow::kSquareTop + 6)));

    r = runCapture({"--size", "64x48", "--fps", "20", "--shots", "5", "--sheet", sheetPath.string()},
                   capturetest::syntheticOpener(script, data()));
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(lastLine(r.err), "murmur-capture: --shots: the show has shots 1 to 4") << r.err;
}

TEST_F(CaptureRunTest, VideoHasBothStreamsTheAskedDurationAndTheMatchingSound)
{
    writeSoundtrack(3.0);
    const fs::path video = dir_ / "out" / "show.mp4";
    const Result r = runCapture({"--size", "64x48", "--fps", "20", "--video", video.string(), "--from", "0.5",
                                 "--to", "1.5", "--data", data()},
                                capturetest::syntheticOpener({}, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("100.0%"), std::string::npos) << "progress reaches the end: " << r.err;
    EXPECT_EQ(namesIn(video.parent_path()), std::vector<std::string>{"show.mp4"});

    const capturetest::MediaInfo info = capturetest::probeMedia(video.string());
    ASSERT_TRUE(info.error.empty()) << info.error;
    EXPECT_EQ(info.videoStreams, 1);
    EXPECT_EQ(info.audioStreams, 1);
    EXPECT_EQ(info.videoCodec, "h264");
    EXPECT_EQ(info.audioCodec, "aac");
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
    EXPECT_DOUBLE_EQ(info.frameRate, 20.0);
    EXPECT_EQ(info.videoPackets, 20);
    EXPECT_NEAR(info.videoSeconds, 1.0, 1e-6);
    EXPECT_NEAR(info.durationSeconds, 1.0, 0.05);
    ASSERT_EQ(info.sampleRate, 44100);
    // The sound starts at --from: the soundtrack's silence until 1 s, then its tone.
    EXPECT_NEAR(static_cast<double>(info.audioLeft.size()) / 44100.0, 1.0, 0.05);
    EXPECT_LT(capturetest::rms(info.audioLeft, 44100, 0.05, 0.4), 0.01);
    EXPECT_GT(capturetest::rms(info.audioLeft, 44100, 0.6, 0.95), 0.1);
}

TEST_F(CaptureRunTest, VideoWithoutASoundtrackSaysSoAndKeepsASilentSoundTrack)
{
    const fs::path video = dir_ / "quiet.mp4";
    const Result r = runCapture({"--size", "64x48", "--fps", "20", "--video", video.string(), "--to", "0.5"},
                                capturetest::syntheticOpener({}, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find(data() + "music/soundtrk.mp3"), std::string::npos) << r.err;
    const capturetest::MediaInfo info = capturetest::probeMedia(video.string());
    ASSERT_TRUE(info.error.empty()) << info.error;
    EXPECT_EQ(info.videoPackets, 10);
    EXPECT_EQ(info.audioStreams, 1);
    EXPECT_LT(capturetest::rms(info.audioLeft, 44100, 0.0, 0.5), 1e-4);
}

TEST_F(CaptureRunTest, BenchReportsJsonFigures)
{
    const Result r = runCapture({"--size", "64x48", "--fps", "20", "--bench", "--json", "--from", "0.2", "--to", "0.7"},
                                capturetest::syntheticOpener({}, data()));
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_GT(j.at("fps").get<double>(), 0.0);
    EXPECT_EQ(j.at("frames").get<int>(), 10);
    EXPECT_EQ(j.at("width").get<int>(), 64);
    EXPECT_EQ(j.at("height").get<int>(), 48);
    EXPECT_FALSE(j.at("renderer").get<std::string>().empty());
    EXPECT_DOUBLE_EQ(j.at("load_s").get<double>(), 0.25);
    const auto figure = [&j](const char* field, const char* which) { return j.at(field).at(which).get<double>(); };
    for (const char* field : {"frame_ms", "update_ms", "submit_ms", "gpu_wait_ms"}) {
        // Ten frames: the 99th percentile is the slowest, so the mean and the
        // median lie at or below it.
        EXPECT_LE(figure(field, "p50"), figure(field, "p99")) << field;
        EXPECT_LE(figure(field, "mean"), figure(field, "p99")) << field;
        // The synthetic show's update does next to nothing and may round to 0
        // at the report's tenth of a microsecond; everything else takes time.
        if (std::string(field) != "update_ms") {
            EXPECT_GT(figure(field, "p50"), 0.0) << field;
            EXPECT_GT(figure(field, "mean"), 0.0) << field;
        }
    }
    // A frame is its update, submission and wait: the means add up (each is
    // rounded to a tenth of a microsecond), and the update is the smallest part.
    EXPECT_NEAR(figure("frame_ms", "mean"),
                figure("update_ms", "mean") + figure("submit_ms", "mean") + figure("gpu_wait_ms", "mean"), 3e-4);
    EXPECT_LE(figure("update_ms", "p50"), figure("submit_ms", "p50"));

    const Result text = runCapture({"--size", "64x48", "--fps", "20", "--bench", "--to", "0.2"},
                                   capturetest::syntheticOpener({}, data()));
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(text.out.find("frames per second"), std::string::npos) << text.out;
}

TEST_F(CaptureRunTest, AShowThatEndsEarlyLeavesNoPartialOutput)
{
    SyntheticScript stops;
    stops.stopUpdateAtFrame = 5;
    const fs::path out = dir_ / "out";
    Result r = runCapture({"--size", "64x48", "--fps", "20", "--video", (out / "v.mp4").string(), "--to", "1"},
                          capturetest::syntheticOpener(stops, data()));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(lastLine(r.err), "murmur-capture: the show ended at 0.250 s, before 0.950 s was reached") << r.err;
    EXPECT_TRUE(namesIn(out).empty()) << "neither the video nor its temporary file";

    // Pictures taken before the end are complete and stay.
    SyntheticScript fails;
    fails.failRenderAtFrame = 3;
    r = runCapture({"--size", "64x48", "--fps", "20", "--at", "0.05,0.5", "--out", out.string()},
                   capturetest::syntheticOpener(fails, data()));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(namesIn(out), std::vector<std::string>{"frame-0000.050.png"});
}

TEST_F(CaptureRunTest, AnInterruptRemovesTheVideoInProgress)
{
    SyntheticScript script;
    script.interruptAtFrame = 4;
    const fs::path out = dir_ / "out";
    const Result r = runCapture({"--size", "64x48", "--fps", "20", "--video", (out / "v.mp4").string(), "--to", "1"},
                                capturetest::syntheticOpener(script, data()));
    EXPECT_EQ(r.code, 130);
    EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(namesIn(out).empty());
}

TEST_F(CaptureRunTest, OutputsThatCannotBeWrittenAreRefusedBeforeTheShowLoads)
{
    const fs::path file = dir_ / "plain-file";
    std::ofstream(file) << "x";
    fs::create_directories(dir_ / "taken.png");
    const std::vector<std::vector<std::string>> cases = {
        {"--at", "1", "--out", (file / "shots").string()},
        {"--video", (file / "v.mp4").string()},
        {"--sheet", (dir_ / "taken.png").string()},
        {"--every", "1", "--to", "1", "--out", file.string()},
    };
    for (const auto& args : cases) {
        int opened = 0;
        const Result r = runCapture(args, capturetest::syntheticOpener({}, data(), &opened));
        EXPECT_EQ(r.code, 2) << args[1];
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_EQ(opened, 0) << args[1];
    }
}

TEST_F(CaptureRunTest, ASurfaceTheDriverRefusesIsACommandLineError)
{
    setenv("SDL_VIDEO_EGL_DRIVER", "/nonexistent/libEGL.so", 1);
    int opened = 0;
    const Result r = runCapture({"--size", "64x48", "--bench"}, capturetest::syntheticOpener({}, data(), &opened));
    unsetenv("SDL_VIDEO_EGL_DRIVER");
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("64x48"), std::string::npos) << r.err;
    EXPECT_EQ(opened, 0);
}

// The program itself: what a user sees on a mistake.
TEST(CaptureProgramTest, AMistakeIsOneLineAndExitCode2)
{
    const std::string program = std::string(MURMUR_BIN_DIR) + "/murmur-capture";
    auto run = [&](const std::string& args, std::string& output) {
        std::FILE* pipe = popen((program + " " + args + " 2>&1").c_str(), "r");
        char buffer[4096];
        std::size_t n = 0;
        output.clear();
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string output;
    EXPECT_EQ(run("--size 1280x --bench", output), 2);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_NE(output.find("--size"), std::string::npos) << output;
    EXPECT_EQ(run("--bench --frames 3", output), 2);
    EXPECT_EQ(output, "murmur-capture: unknown option --frames (see --help)\n");
    EXPECT_EQ(run("--help", output), 0);
    EXPECT_EQ(output.rfind("usage: murmur-capture", 0), 0u) << output;
}

} // namespace
