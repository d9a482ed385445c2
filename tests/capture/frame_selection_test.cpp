#include "tools/capture/contact_sheet.h"
#include "tools/capture/frame_clock.h"
#include "tools/capture/frame_range.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using capture::FrameClock;
using capture::Shot;

TEST(FrameClockTest, FirstFrameAtOrAfterTakesTimesAsTheDecimalsWritten)
{
    EXPECT_EQ(FrameClock(60).firstFrameAtOrAfter(0.0), 0);
    EXPECT_EQ(FrameClock(60).firstFrameAtOrAfter(0.1), 6) << "0.1 x 60 is a hair above 6 in binary";
    EXPECT_EQ(FrameClock(60).firstFrameAtOrAfter(0.0167), 2) << "frame 1 lies at 0.01666 s, before 0.0167";
    EXPECT_EQ(FrameClock(60).firstFrameAtOrAfter(132.0), 7920);
    EXPECT_EQ(FrameClock(30).firstFrameAtOrAfter(108.5), 3255);
    EXPECT_EQ(FrameClock(60).firstFrameAtOrAfter(257.5), 15450);
    EXPECT_EQ(FrameClock(7).firstFrameAtOrAfter(0.142857), 1);
    EXPECT_EQ(FrameClock(24).firstFrameAtOrAfter(0.05), 2);
    EXPECT_EQ(FrameClock(60).lastFrameAtOrBefore(0.1), 6);
    EXPECT_EQ(FrameClock(60).lastFrameAtOrBefore(0.0999), 5);
    for (int fps : {1, 24, 25, 30, 50, 60, 144, 1000})
        for (std::int64_t n : {0, 1, 7, 999, 17279}) {
            const FrameClock clock(fps);
            EXPECT_EQ(clock.firstFrameAtOrAfter(clock.seconds(n)), n) << fps << " fps, frame " << n;
            EXPECT_EQ(clock.lastFrameAtOrBefore(clock.seconds(n)), n) << fps << " fps, frame " << n;
        }
}

TEST(FrameClockTest, FrameCallsGetTheClockTimeAndOneStep)
{
    const FrameClock clock(60);
    EXPECT_EQ(clock.timeMs(0), 0.0f);
    EXPECT_EQ(clock.deltaMs(0), 0.0f);
    EXPECT_EQ(clock.timeMs(7920), 132000.0f);
    EXPECT_FLOAT_EQ(clock.deltaMs(7920), 1000.0f / 60.0f);
    // Times come from the frame number, so they do not drift over a long show.
    EXPECT_EQ(clock.timeMs(17280), 288000.0f);
    EXPECT_EQ(FrameClock(30).timeMs(3255), 108500.0f);
}

TEST(FrameClockTest, FileNamesArePaddedSecondsWithThreeDecimals)
{
    EXPECT_EQ(capture::frameFileName(132.0), "frame-0132.000.png");
    EXPECT_EQ(capture::frameFileName(0.0), "frame-0000.000.png");
    EXPECT_EQ(capture::frameFileName(1.0 / 60.0), "frame-0000.017.png");
    EXPECT_EQ(capture::frameFileName(257.5), "frame-0257.500.png");
    EXPECT_EQ(capture::frameFileName(12345.25), "frame-12345.250.png");
    // Every frame of the fastest clock gets a name of its own.
    const FrameClock clock(1000);
    std::set<std::string> names;
    for (std::int64_t n = 0; n < 20000; ++n) names.insert(capture::frameFileName(clock.seconds(n)));
    EXPECT_EQ(names.size(), 20000u);
}

TEST(FrameClockTest, AtTimesAreSortedNamedAsAskedAndNeverCollide)
{
    const FrameClock clock(60);
    std::vector<Shot> shots;
    std::string error;
    ASSERT_TRUE(capture::selectAtTimes(clock, {132.0, 0.1, 108.5, 132.0}, shots, error)) << error;
    ASSERT_EQ(shots.size(), 3u) << "the same time twice is one picture";
    EXPECT_EQ(shots[0].frame, 6);
    EXPECT_EQ(shots[0].fileName, "frame-0000.100.png");
    EXPECT_EQ(shots[1].frame, 6510);
    EXPECT_EQ(shots[2].frame, 7920);
    EXPECT_EQ(shots[2].fileName, "frame-0132.000.png");

    // Two times a frame apart may share a frame; they keep their own names.
    ASSERT_TRUE(capture::selectAtTimes(clock, {1.001, 1.002}, shots, error)) << error;
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(shots[0].frame, shots[1].frame);
    EXPECT_NE(shots[0].fileName, shots[1].fileName);

    EXPECT_FALSE(capture::selectAtTimes(clock, {5.0001, 5.0002}, shots, error))
        << "one file name for two asked times would lose a picture";
    EXPECT_NE(error.find("frame-0005.000.png"), std::string::npos) << error;
}

TEST(FrameClockTest, EveryNthFrameOfAClosedRange)
{
    const FrameClock clock(60);
    std::vector<Shot> shots = capture::selectEveryFrames(clock, 3, capture::framesBetween(clock, 0.1, 0.2));
    ASSERT_EQ(shots.size(), 3u);
    EXPECT_EQ(shots[0].frame, 6);
    EXPECT_EQ(shots[1].frame, 9);
    EXPECT_EQ(shots[2].frame, 12) << "the range's end is included";
    EXPECT_EQ(shots[1].fileName, "frame-0000.150.png");
    EXPECT_EQ(capture::selectEveryFrames(clock, 1, capture::framesBetween(clock, 0.001, 0.002)).size(), 0u)
        << "no frame lies inside";
    EXPECT_EQ(capture::selectEveryFrames(clock, 100, capture::framesBetween(clock, 0.0, 0.5)).size(), 1u);
}

// Shots named by number cover the frames on which the cut rule shows them.
TEST(FrameRangeTest, ShotsCoverTheFramesTheyAreOnScreen)
{
    const FrameClock clock(10);
    // The third camera ends with the second: it is never on screen.
    const std::vector<float> ends = {1.0f, 2.0f, 2.0f, 3.5f};
    capture::FrameRange frames;
    std::string error;
    ASSERT_TRUE(capture::framesOfShots(ends, {1, 1}, 5.0, clock, frames, error)) << error;
    EXPECT_EQ(frames.first, 0);
    EXPECT_EQ(frames.last, 10) << "a frame at a shot's end still shows it";
    ASSERT_TRUE(capture::framesOfShots(ends, {2, 3}, 5.0, clock, frames, error)) << error;
    EXPECT_EQ(frames.first, 11);
    EXPECT_EQ(frames.last, 20);
    ASSERT_TRUE(capture::framesOfShots(ends, {4, 4}, 5.0, clock, frames, error)) << error;
    EXPECT_EQ(frames.first, 21);
    EXPECT_EQ(frames.last, 50) << "the last shot holds to the end of the show";

    EXPECT_FALSE(capture::framesOfShots(ends, {3, 3}, 5.0, clock, frames, error));
    EXPECT_NE(error.find("shot 3 is never on screen"), std::string::npos) << error;
    EXPECT_FALSE(capture::framesOfShots(ends, {2, 5}, 5.0, clock, frames, error));
    EXPECT_NE(error.find("shots 1 to 4"), std::string::npos) << error;
    EXPECT_FALSE(capture::framesOfShots({}, {1, 1}, 5.0, clock, frames, error));
    EXPECT_NE(error.find("no shots"), std::string::npos) << error;
}

TEST(FrameRangeTest, PicturesEverySoManySecondsLandOnTheFirstFrameAtOrAfterEach)
{
    const FrameClock clock(60);
    std::vector<Shot> shots = capture::selectEverySeconds(clock, 0.25, {60, 120});
    ASSERT_EQ(shots.size(), 5u);
    EXPECT_EQ(shots[1].frame, 75);
    EXPECT_EQ(shots[4].frame, 120) << "the range's last frame is included";
    EXPECT_EQ(shots[1].fileName, "frame-0001.250.png");
    // A step that is not a whole number of frames rounds up, frame by frame;
    // a step shorter than a frame takes every frame once.
    shots = capture::selectEverySeconds(FrameClock(4), 0.3, {0, 4});
    std::vector<std::int64_t> frames;
    for (const Shot& shot : shots) frames.push_back(shot.frame);
    EXPECT_EQ(frames, (std::vector<std::int64_t>{0, 2, 3, 4}));
    EXPECT_EQ(capture::selectEverySeconds(FrameClock(4), 0.01, {0, 4}).size(), 5u);
}

TEST(ContactSheetPlanTest, ShotsFollowTheCutRule)
{
    const std::vector<float> ends = {10.0f, 20.0f};
    EXPECT_EQ(capture::shotAt(ends, 0.0), 0);
    EXPECT_EQ(capture::shotAt(ends, 10.0), 0);
    EXPECT_EQ(capture::shotAt(ends, 10.001), 1);
    EXPECT_EQ(capture::shotAt(ends, 25.0), 1) << "the last camera stays on";
    EXPECT_EQ(capture::shotAt({}, 5.0), -1);
}

TEST(ContactSheetPlanTest, MiddleOfEveryShotOnScreenPlusTheMarks)
{
    const FrameClock clock(60);
    // The third camera ends with the second: it is cut past at once.
    const std::vector<float> ends = {10.0f, 20.0f, 20.0f, 35.0f};
    const std::vector<capture::SheetEntry> entries = capture::planSheet(ends, clock);
    ASSERT_EQ(entries.size(), 3u + 6u);
    EXPECT_EQ(entries[0].frame, 300);
    EXPECT_EQ(entries[0].shot, 0);
    EXPECT_EQ(entries[1].frame, 900);
    EXPECT_EQ(entries[1].shot, 1);
    EXPECT_EQ(entries[2].frame, 1650);
    EXPECT_EQ(entries[2].shot, 3);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(entries[i].mark);
    const double marks[] = {108.5, 125.0, 132.0, 135.0, 150.0, 257.5};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(entries[3 + i].mark);
        EXPECT_EQ(entries[3 + i].frame, clock.firstFrameAtOrAfter(marks[i]));
        EXPECT_EQ(entries[3 + i].shot, 3) << "after every end the last shot is on";
    }
    EXPECT_EQ(capture::sheetLabel(entries[5], clock), "132.000 s \xC2\xB7 shot 4");

    // A mark in the middle of the show falls in order among the shots.
    const std::vector<capture::SheetEntry> long_ = capture::planSheet({100.0f, 130.0f, 300.0f}, clock);
    ASSERT_EQ(long_.size(), 9u);
    EXPECT_EQ(long_[1].frame, clock.firstFrameAtOrAfter(108.5));
    EXPECT_EQ(long_[1].shot, 1);
    EXPECT_EQ(long_[2].frame, clock.firstFrameAtOrAfter(115.0)) << "middle of the second shot";

    // Without cameras the sheet still shows the timeline.
    const auto marksOnly = capture::planSheet({}, clock);
    ASSERT_EQ(marksOnly.size(), 6u);
    EXPECT_EQ(capture::sheetLabel(marksOnly[0], clock), "108.500 s \xC2\xB7 no shot");
}

TEST(ContactSheetPlanTest, GridKeepsTheAspectAndEveryCellInside)
{
    const capture::SheetLayout l = capture::layoutSheet(45, 1280, 720);
    EXPECT_EQ(l.columns, 6);
    EXPECT_EQ(l.rows, 8);
    EXPECT_EQ(l.thumbWidth, 320);
    EXPECT_EQ(l.thumbHeight, 180);
    EXPECT_EQ(l.cellWidth, 320);
    for (int i = 0; i < 45; ++i) {
        EXPECT_GE(l.cellX(i), 0);
        EXPECT_LE(l.cellX(i) + l.cellWidth, l.width);
        EXPECT_LE(l.cellY(i) + l.thumbHeight + l.labelHeight, l.height);
    }
    // Neighbours do not overlap.
    EXPECT_GE(l.cellX(1), l.cellX(0) + l.cellWidth);
    EXPECT_GE(l.cellY(6), l.cellY(0) + l.thumbHeight + l.labelHeight);

    const capture::SheetLayout small = capture::layoutSheet(2, 64, 48);
    EXPECT_EQ(small.columns, 2);
    EXPECT_EQ(small.rows, 1);
    EXPECT_EQ(small.thumbWidth, 64) << "never larger than the frame";
    EXPECT_EQ(small.thumbHeight, 48);
    EXPECT_GT(small.cellWidth, 64) << "room for the label";
    EXPECT_EQ(small.thumbX(1) - small.cellX(1), (small.cellWidth - 64) / 2) << "centred";
    const capture::SheetLayout tall = capture::layoutSheet(7, 1080, 1920);
    EXPECT_EQ(tall.thumbHeight, 569);
}

} // namespace
