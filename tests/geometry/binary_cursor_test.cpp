#include "content/geometry/binary_cursor.h"
#include "content/geometry/byte_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <limits>

namespace {

TEST(BinaryCursor, ReadsWhatTheWriterWrote) {
    ByteWriter w;
    w.writeInt32(-123456);
    w.writeUInt8(0xAB);
    w.writeUInt16(0xBEEF);
    w.writeFloat32(-2.5f);
    w.writeString("robot");
    w.writeString("");
    ASSERT_EQ(w.bytes().size(), 4u + 1 + 2 + 4 + 9 + 4);
    // Little-endian on the wire.
    EXPECT_EQ(w.bytes()[0], 0xC0);
    EXPECT_EQ(w.bytes()[5], 0xEF);
    EXPECT_EQ(w.bytes()[6], 0xBE);

    BinaryCursor c(w.bytes());
    EXPECT_EQ(c.readInt32(), -123456);
    EXPECT_EQ(c.readUInt8(), 0xAB);
    EXPECT_EQ(c.readUInt16(), 0xBEEF);
    EXPECT_EQ(c.readFloat32(), -2.5f);
    EXPECT_EQ(c.readString(), "robot");
    EXPECT_EQ(c.readString(), "");
    EXPECT_TRUE(c.ok());
    EXPECT_EQ(c.remaining(), 0u);
}

TEST(BinaryCursor, ReadPastTheEndFailsAndSticks) {
    const std::uint8_t bytes[] = {1, 0, 0, 0, 7, 7};
    BinaryCursor c(bytes, sizeof bytes);
    EXPECT_EQ(c.readInt32(), 1);
    EXPECT_EQ(c.readInt32(), 0);  // only two bytes left
    EXPECT_FALSE(c.ok());
    EXPECT_FALSE(c.error().empty());
    // Nothing more is read after a failure, even what would fit.
    EXPECT_EQ(c.readUInt8(), 0);
    EXPECT_EQ(c.position(), 4u);
}

TEST(BinaryCursor, StringLengthsThatDoNotFitFail) {
    for (std::int32_t n : {-1, 6, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()}) {
        ByteWriter w;
        w.writeInt32(n);
        w.writeBytes("abcde", 5);
        BinaryCursor c(w.bytes());
        EXPECT_EQ(c.readString(), "") << n;
        EXPECT_FALSE(c.ok()) << n;
    }
}

TEST(BinaryCursor, CanReadGuardsTheProductOfCountAndSize) {
    std::vector<std::uint8_t> bytes(100);
    BinaryCursor c(bytes);
    EXPECT_TRUE(c.canRead(2, 50));
    EXPECT_TRUE(c.canRead(0, 52));
    // 0x40000000 * 52 wraps to 0 in 32 bits; it must not pass as fitting.
    EXPECT_FALSE(c.canRead(0x40000000, 52));
    BinaryCursor d(bytes);
    EXPECT_FALSE(d.canRead(-1, 4));
    BinaryCursor e(bytes);
    EXPECT_FALSE(e.canRead(3, 34));
}

TEST(ReadWholeFile, ReadsEveryByteAndReportsMissingFiles) {
    const auto path = std::filesystem::temp_directory_path() / "murmur_read_whole_file.bin";
    std::vector<std::uint8_t> written(70000);
    for (std::size_t i = 0; i < written.size(); ++i) written[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(writeWholeFile(path.string(), written));
    std::vector<std::uint8_t> read;
    ASSERT_TRUE(readWholeFile(path.string(), read));
    EXPECT_EQ(read, written);
    std::filesystem::remove(path);
    EXPECT_FALSE(readWholeFile(path.string(), read));
    EXPECT_TRUE(read.empty());
    // A directory opens on Linux but cannot be read as a file.
    EXPECT_FALSE(readWholeFile(std::filesystem::temp_directory_path().string(), read));
}

}  // namespace
