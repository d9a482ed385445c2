#include "audio/mp3_decoder.h"
#include "tests/audio/test_tones.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr std::uint32_t kRate = 44100;

// An ID3v2.4 tag header claiming `size` bytes of tag (a sync-safe number).
std::string tagHeader(std::uint32_t size) {
    std::string header = "ID3\x04";
    header += '\0';
    header += '\0';
    for (int shift = 21; shift >= 0; shift -= 7) header += static_cast<char>((size >> shift) & 0x7f);
    return header;
}

// `prefix` followed by the bytes of `file`, written as `name`.
std::string withPrefix(const std::string& name, const std::string& prefix, const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string path = audio_test::tempPath(name);
    std::ofstream(path, std::ios::binary) << prefix << audio;
    return path;
}

// The peak size of this process's address space in kilobytes, or -1.
long peakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmPeak:", 0) == 0) return std::strtol(line.c_str() + 7, nullptr, 10);
    return -1;
}

TEST(Mp3Decoder, ATaggedFileDecodesLikeTheBareOne) {
    const std::string tone = audio_test::writeToneMp3("bare_tone.mp3", 0.5);
    audio::Mp3Decoder bare;
    ASSERT_EQ(bare.open(tone, kRate), audio::Mp3Decoder::OpenResult::Ok);

    // A kilobyte of tag: a text frame and padding.
    std::string tag = "TIT2";
    tag += std::string("\0\0\0\x06\0\0\x03title", 15);
    tag.resize(1024, '\0');
    audio::Mp3Decoder tagged;
    ASSERT_EQ(tagged.open(withPrefix("tagged_tone.mp3", tagHeader(1024) + tag, tone), kRate),
              audio::Mp3Decoder::OpenResult::Ok);
    EXPECT_EQ(tagged.lengthFrames(), bare.lengthFrames());
    std::int16_t first[2 * 64];
    std::int16_t second[2 * 64];
    ASSERT_EQ(bare.read(first, 64), 64u);
    ASSERT_EQ(tagged.read(second, 64), 64u);
    EXPECT_TRUE(std::equal(first, first + 128, second));
}

TEST(Mp3Decoder, ATagHeaderClaimingAQuarterGigabyteSetsNoneOfItAside) {
    const std::string path =
        withPrefix("claimed_tag.mp3", tagHeader(0x0fffffff), audio_test::writeToneMp3("claimed_tone.mp3", 0.5));
    // In a fresh process, so that the peak is this open's alone.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const long before = peakKilobytes();
            audio::Mp3Decoder decoder;
            decoder.open(path, kRate);
            const long grown = peakKilobytes() - before;
            std::fprintf(stderr, "the address space grew by %ld kB\n", grown);
            std::_Exit(before > 0 && grown < 64 * 1024 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
