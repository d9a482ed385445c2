#include "tools/capture/contact_sheet.h"
#include "tools/capture/soundtrack_audio.h"
#include "tools/music/mp3_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

pictures::Image uniform(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    pictures::Image image{w, h, 3, {}};
    for (int i = 0; i < w * h; ++i) image.pixels.insert(image.pixels.end(), {r, g, b});
    return image;
}

const std::uint8_t* pixel(const pictures::Image& image, int x, int y)
{
    return image.pixels.data() + (static_cast<std::size_t>(y) * image.width + x) * 3;
}

TEST(ContactSheetTest, ShrinkAveragesTheSourcePixelsOfEachTarget)
{
    // Columns 0 and 1 black, 2 and 3 white; rows alike.
    pictures::Image stripes = uniform(4, 2, 0, 0, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x)
            for (int c = 0; c < 3; ++c) stripes.pixels[(y * 4 + x) * 3 + c] = 255;
    const pictures::Image half = capture::shrink(stripes, 2, 1);
    EXPECT_EQ(pixel(half, 0, 0)[0], 0);
    EXPECT_EQ(pixel(half, 1, 0)[0], 255);
    const pictures::Image one = capture::shrink(stripes, 1, 1);
    EXPECT_EQ(pixel(one, 0, 0)[1], 128) << "the mean of all, rounded";
    // Uneven ratios cover every source pixel exactly once: a flat picture stays flat.
    const pictures::Image flat = capture::shrink(uniform(7, 5, 10, 20, 30), 3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixel(flat, x, y)[2], 30);
}

TEST(ContactSheetTest, ThumbnailsGoToTheirCellsWithTheirLabelsUnderneath)
{
    std::string error;
    auto font = pictures::FontFace::open(MURMUR_SHEET_FONT, error);
    ASSERT_TRUE(font) << error;
    const capture::SheetLayout layout = capture::layoutSheet(2, 160, 90);
    capture::ContactSheet sheet(layout, *font);
    sheet.place(0, uniform(160, 90, 0, 200, 0), "12.500 s \xC2\xB7 shot 1", false);
    sheet.place(1, uniform(160, 90, 0, 0, 200), "132.000 s \xC2\xB7 shot 2", true);
    const pictures::Image image = sheet.image();
    ASSERT_EQ(image.width, layout.width);
    ASSERT_EQ(image.height, layout.height);

    const int x0 = layout.thumbX(0), y0 = layout.cellY(0), x1 = layout.thumbX(1);
    EXPECT_EQ(pixel(image, x0, y0)[1], 200);
    EXPECT_EQ(pixel(image, x0 + 159, y0 + 89)[1], 200);
    EXPECT_EQ(pixel(image, x1 + 80, y0 + 45)[2], 200);
    EXPECT_EQ(pixel(image, x0 - 1, y0)[1], pixel(image, 0, 0)[1]) << "nothing outside the cell";

    // The labels: light text under the first, amber under the mark.
    auto brightest = [&](int cx) {
        int best = 0;
        const std::uint8_t* at = nullptr;
        for (int y = y0 + layout.thumbHeight; y < y0 + layout.thumbHeight + layout.labelHeight; ++y)
            for (int x = cx; x < cx + layout.thumbWidth; ++x) {
                const std::uint8_t* p = pixel(image, x, y);
                if (p[0] + p[1] + p[2] > best) {
                    best = p[0] + p[1] + p[2];
                    at = p;
                }
            }
        return at;
    };
    const std::uint8_t* text = brightest(x0);
    const std::uint8_t* mark = brightest(x1);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(mark, nullptr);
    EXPECT_GT(text[2], 180) << "the label is drawn";
    EXPECT_GT(mark[0], mark[2] + 60) << "a timeline mark is labelled in amber";
}

class SoundtrackAudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One second: half silence, then a loud tone.
        std::vector<std::int16_t> pcm(44100 * 2, 0);
        for (int i = 22050; i < 44100; ++i)
            pcm[i * 2] = pcm[i * 2 + 1] = static_cast<std::int16_t>(16000 * std::sin(i * 2 * M_PI * 440 / 44100.0));
        std::vector<unsigned char> mp3;
        std::string error;
        ASSERT_TRUE(music::encodeMp3(pcm, 44100, 128, mp3, error)) << error;
        path_ = std::filesystem::temp_directory_path() / ("capture-loop-" + std::to_string(getpid()) + ".mp3");
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(mp3.data(), 1, mp3.size(), f);
        std::fclose(f);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    static double level(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to)
    {
        double sum = 0.0;
        for (std::size_t i = from * 2; i < to * 2; ++i) sum += static_cast<double>(s[i]) * s[i];
        return std::sqrt(sum / static_cast<double>((to - from) * 2));
    }

    std::filesystem::path path_;
};

TEST_F(SoundtrackAudioTest, LoopsLikeTheShowsStreamAndFallsSilentAtTheRelease)
{
    capture::SoundtrackAudio music;
    std::string error;
    ASSERT_TRUE(music.open(path_.string(), error)) << error;
    EXPECT_EQ(music.rate(), 44100);
    EXPECT_NEAR(music.lengthSeconds(), 1.0, 0.001);

    std::vector<std::int16_t> out(44100 * 2);
    // 286.2 s is 0.2 s into the 287th loop: silence; 286.7 s: the tone.
    music.seek(std::llround(286.2 * 44100));
    music.read(out.data(), 4410);
    EXPECT_LT(level(out, 0, 4410), 50.0);
    music.seek(std::llround(286.7 * 44100));
    music.read(out.data(), 4410);
    EXPECT_GT(level(out, 0, 4410), 5000.0);

    // Across the release: the tone up to 287 s, then digital silence.
    music.seek(287 * 44100 - 4410);
    music.read(out.data(), 8820);
    EXPECT_GT(level(out, 0, 4410), 5000.0);
    for (std::size_t i = 4410 * 2; i < 8820 * 2; ++i) ASSERT_EQ(out[i], 0) << "sample " << i / 2;

    // A read across the file's end carries on from its start.
    music.seek(44100 - 2205);
    music.read(out.data(), 4410);
    EXPECT_GT(level(out, 0, 2205), 5000.0);
    EXPECT_LT(level(out, 2205 + 441, 4410), 50.0);
}

TEST_F(SoundtrackAudioTest, AMissingFileIsNamedAndGivesSilence)
{
    capture::SoundtrackAudio music;
    std::string error;
    EXPECT_FALSE(music.open("/nonexistent/music/soundtrk.mp3", error));
    EXPECT_NE(error.find("/nonexistent/music/soundtrk.mp3"), std::string::npos) << error;
    std::vector<std::int16_t> out(200, 7);
    music.read(out.data(), 100);
    for (std::int16_t s : out) EXPECT_EQ(s, 0);
}

} // namespace
