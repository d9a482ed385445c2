#include "tools/capture/bench_report.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/contact_sheet.h"
#include "tools/capture/frame_clock.h"

#include "tests/support/decimal_comma_locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using capture::CaptureOptions;
using capture::Mode;
using capture::ParseStatus;

ParseStatus parse(std::vector<std::string> args, CaptureOptions& options, std::string& error)
{
    return capture::parseOptions(args, options, error);
}

TEST(CaptureOptionsTest, EachModeWithItsDefaultsAndValues)
{
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--at", "132,108.5,0", "--out", "shots"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.mode, Mode::At);
    EXPECT_EQ(o.at, (std::vector<double>{132.0, 108.5, 0.0}));
    EXPECT_EQ(o.outDirectory, "shots");
    EXPECT_EQ(o.width, 1280);
    EXPECT_EQ(o.height, 720);
    EXPECT_EQ(o.fps, 60);
    EXPECT_TRUE(o.dataDirectory.empty());

    ASSERT_EQ(parse({"--size=640x360", "--fps", "30", "--video", "show.MP4", "--from", "10", "--to=20.5",
                     "--data", "/tmp/d"},
                    o, error),
              ParseStatus::Run)
        << error;
    EXPECT_EQ(o.mode, Mode::Video);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_EQ(o.fps, 30);
    EXPECT_EQ(o.from, 10.0);
    ASSERT_TRUE(o.to.has_value());
    EXPECT_EQ(*o.to, 20.5);
    EXPECT_EQ(o.dataDirectory, "/tmp/d");

    ASSERT_EQ(parse({"--every", "5", "--from", "1", "--to", "1", "--out", "d"}, o, error), ParseStatus::Run)
        << "a range of one instant holds one frame: " << error;
    EXPECT_EQ(o.every, 5);

    // A whole number counts frames, a time seconds; --shots names shots.
    ASSERT_EQ(parse({"--every", "0.5", "--shots", "40-43", "--out", "d"}, o, error), ParseStatus::Run) << error;
    ASSERT_TRUE(o.everySeconds.has_value());
    EXPECT_EQ(*o.everySeconds, 0.5);
    EXPECT_EQ(o.shots, std::make_pair(40, 43));
    ASSERT_EQ(parse({"--every", "2s", "--out", "d"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.everySeconds, 2.0);
    ASSERT_EQ(parse({"--sheet", "s.jpg", "--shots", "7", "--draw-all"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.shots, std::make_pair(7, 7));
    EXPECT_TRUE(o.drawAll);

    ASSERT_EQ(parse({"--bench", "--json"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.mode, Mode::Bench);
    EXPECT_TRUE(o.json);
    EXPECT_FALSE(o.to.has_value()) << "no --to: the whole show";

    ASSERT_EQ(parse({"--sheet", "docs/sheet.JPG"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.mode, Mode::Sheet);

    EXPECT_EQ(parse({"--at", "1", "--help"}, o, error), ParseStatus::Help);
    EXPECT_EQ(parse({"-h"}, o, error), ParseStatus::Help);
}

// Times on the command line, file names, labels and JSON keep their decimal
// point whatever the process locale.
TEST(CaptureOptionsTest, NumbersKeepTheirPointUnderADecimalCommaLocale)
{
    murmur::test::DecimalCommaScope comma;
    ASSERT_TRUE(comma.active()) << murmur::test::decimalCommaLocaleFailure();
    CaptureOptions o;
    std::string error;
    ASSERT_EQ(parse({"--at", "108.5,257.25", "--out", "d"}, o, error), ParseStatus::Run) << error;
    EXPECT_EQ(o.at, (std::vector<double>{108.5, 257.25}));
    EXPECT_EQ(parse({"--at", "108,5", "--out", "d"}, o, error), ParseStatus::Run)
        << "a comma separates times, it is never a decimal separator";
    EXPECT_EQ(o.at, (std::vector<double>{108.0, 5.0}));

    EXPECT_EQ(capture::frameFileName(108.5), "frame-0108.500.png");
    const capture::FrameClock clock(60);
    EXPECT_EQ(capture::sheetLabel({6510, 2, true}, clock), "108.500 s \xC2\xB7 shot 3");
    capture::BenchReport report;
    report.frames = 5;
    report.seconds = 0.5;
    report.startup.content = 1.25;
    report.renderer = "a \"quoted\" renderer";
    const std::string json = capture::benchJson(report);
    EXPECT_NE(json.find("\"fps\":10.0000,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"load_s\":1.2500,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"renderer\":\"a \\\"quoted\\\" renderer\"}"), std::string::npos) << json;
}

struct BadLine {
    std::vector<std::string> args;
    std::string named; // what the message must name
};

TEST(CaptureOptionsTest, EveryMistakeIsOneLineNamingIt)
{
    const std::vector<BadLine> cases = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"stray"}, "'stray'"},
        {{"--at"}, "--at needs a value"},
        {{"--at", "1", "--out"}, "--out needs a value"},
        {{"--size", "12x", "--bench"}, "'12x'"},
        {{"--size", "x12", "--bench"}, "'x12'"},
        {{"--size", "12x12x", "--bench"}, "'12x12x'"},
        {{"--size", "0x10", "--bench"}, "0x10"},
        {{"--size", "16385x10", "--bench"}, "16385x10"},
        {{"--size", "-640x480", "--bench"}, "-640x480"},
        {{"--fps", "0", "--bench"}, "--fps"},
        {{"--fps", "1001", "--bench"}, "--fps"},
        {{"--fps", "2.5", "--bench"}, "'2.5'"},
        {{"--at", "1,,2", "--out", "d"}, "''"},
        {{"--at", "-1", "--out", "d"}, "-1"},
        {{"--at", "1e3", "--out", "d"}, "'1e3'"},
        {{"--at", "nan", "--out", "d"}, "'nan'"},
        {{"--at", "200000", "--out", "d"}, "200000"},
        {{"--every", "0", "--out", "d"}, "--every"},
        {{"--every", "0.0001", "--out", "d"}, "0.001"},
        {{"--every", "1.5x", "--out", "d"}, "'1.5x'"},
        {{"--every", "s", "--out", "d"}, "'s'"},
        {{"--shots", "4-2", "--sheet", "s.png"}, "'4-2'"},
        {{"--shots", "0", "--sheet", "s.png"}, "'0'"},
        {{"--shots", "1-", "--sheet", "s.png"}, "'1-'"},
        {{"--shots", "1", "--shots", "2", "--sheet", "s.png"}, "--shots is given twice"},
        {{"--shots", "1", "--at", "1", "--out", "d"}, "--shots is not used with --at"},
        {{"--shots", "1", "--from", "2", "--video", "v.mp4"}, "--shots and --from"},
        {{"--at", "1", "--out", "d", "--bench"}, "--at and --bench"},
        {{"--bench", "--bench"}, "--bench is given twice"},
        {{"--bench=yes"}, "--bench takes no value"},
        {{}, "nothing to do"},
        {{"--at", "1"}, "--at needs --out"},
        {{"--sheet", "s.png", "--out", "d"}, "--out is only used"},
        {{"--at", "1", "--out", "d", "--from", "2"}, "--from and --to are not used with --at"},
        {{"--video", "v.mp4", "--json"}, "--json is only used with --bench"},
        {{"--video", "v.mp4", "--from", "5", "--to", "4"}, "--to must not be before --from"},
        {{"--video", "v.mp4", "--from", "5", "--to", "5"}, "empty range"},
        {{"--video", "v.mp4", "--size", "641x360"}, "641x360"},
        {{"--video", "v.mkv"}, "'v.mkv'"},
        {{"--sheet", "s.gif"}, "'s.gif'"},
        {{"--data", "", "--bench"}, "--data"},
    };
    for (const BadLine& c : cases) {
        CaptureOptions o;
        std::string error;
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        EXPECT_EQ(parse(c.args, o, error), ParseStatus::Error) << line;
        EXPECT_NE(error.find(c.named), std::string::npos) << line << "-> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line << "-> " << error;
    }
}

} // namespace
