#pragma once
// A small PNG writer: 8-bit RGB, no compression (stored deflate blocks).
// Enough for screenshots; any PNG reader opens the result.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "screenshot.h"

namespace screenshot {

// Checksums the format needs, exposed for their tests. Pass the previous
// result to continue over more data.
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

std::vector<uint8_t> encodePng(const Image& image);

// False when the file cannot be written completely.
bool writePng(const wchar_t* path, const Image& image);

}  // namespace screenshot
