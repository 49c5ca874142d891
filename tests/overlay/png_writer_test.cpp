// The PNG writer checked by decoding its output with an independent reader
// of stored deflate blocks.
#include "png_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) |
           b[at + 3];
}

TEST(PngChecksums, MatchPublishedValues) {
    const std::string iend = "IEND";
    EXPECT_EQ(screenshot::crc32(reinterpret_cast<const uint8_t*>(iend.data()), 4), 0xAE426082u);
    const std::string nine = "123456789";
    EXPECT_EQ(screenshot::crc32(reinterpret_cast<const uint8_t*>(nine.data()), 9), 0xCBF43926u);
    const std::string wiki = "Wikipedia";
    EXPECT_EQ(screenshot::adler32(reinterpret_cast<const uint8_t*>(wiki.data()), 9), 0x11E60398u);
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Splits the file into chunks, checking each chunk's CRC on the way.
std::vector<Chunk> chunks(const std::vector<uint8_t>& png) {
    std::vector<Chunk> out;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = be32(png, at);
        if (at + 12 + length > png.size()) break;
        Chunk c;
        c.type.assign(png.begin() + at + 4, png.begin() + at + 8);
        c.data.assign(png.begin() + at + 8, png.begin() + at + 8 + length);
        EXPECT_EQ(be32(png, at + 8 + length), screenshot::crc32(&png[at + 4], 4 + length))
            << c.type;
        out.push_back(c);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "no bytes after the last chunk";
    return out;
}

// Undoes stored deflate blocks; fails on any other block type.
std::vector<uint8_t> inflateStored(const std::vector<uint8_t>& z) {
    std::vector<uint8_t> raw;
    EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0) << "zlib header check";
    size_t at = 2;
    bool last = false;
    while (!last && at + 5 <= z.size()) {
        last = z[at] & 1;
        EXPECT_EQ(z[at] & 6, 0) << "stored block";
        const unsigned len = z[at + 1] | (z[at + 2] << 8);
        const unsigned nlen = z[at + 3] | (z[at + 4] << 8);
        EXPECT_EQ(len ^ 0xFFFF, nlen);
        at += 5;
        raw.insert(raw.end(), z.begin() + at, z.begin() + at + len);
        at += len;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(be32(z, at), screenshot::adler32(raw.data(), raw.size()));
    EXPECT_EQ(at + 4, z.size());
    return raw;
}

screenshot::Image pattern(int width, int height) {
    screenshot::Image image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back((uint32_t(x & 0xFF) << 16) | (uint32_t(y & 0xFF) << 8) | 0x5A);
    return image;
}

TEST(PngWriter, RoundTripsPixelsThroughSeveralStoredBlocks) {
    // Large enough that the scanlines need more than one 65535-byte block.
    const screenshot::Image image = pattern(300, 100);
    const std::vector<uint8_t> png = screenshot::encodePng(image);
    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), signature, 8), 0);

    const std::vector<Chunk> parts = chunks(png);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].type, "IHDR");
    EXPECT_EQ(be32(parts[0].data, 0), 300u);
    EXPECT_EQ(be32(parts[0].data, 4), 100u);
    EXPECT_EQ(parts[0].data[8], 8) << "bit depth";
    EXPECT_EQ(parts[0].data[9], 2) << "RGB";
    EXPECT_EQ(parts[1].type, "IDAT");
    EXPECT_EQ(parts[2].type, "IEND");

    const std::vector<uint8_t> raw = inflateStored(parts[1].data);
    ASSERT_EQ(raw.size(), 100u * (1 + 300 * 3));
    for (int y = 0; y < 100; ++y) {
        const uint8_t* row = &raw[y * (1 + 300 * 3)];
        ASSERT_EQ(row[0], 0) << "filter none";
        for (int x = 0; x < 300; ++x) {
            ASSERT_EQ(row[1 + 3 * x], x & 0xFF);
            ASSERT_EQ(row[2 + 3 * x], y);
            ASSERT_EQ(row[3 + 3 * x], 0x5A);
        }
    }
}

TEST(PngWriter, RefusesAnEmptyImage) {
    screenshot::Image empty;
    EXPECT_FALSE(screenshot::writePng(L"never_written.png", empty));
    EXPECT_EQ(GetFileAttributesW(L"never_written.png"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
