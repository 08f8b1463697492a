#pragma once

#include <array>
#include <cstdint>
#include <span>

// The pager's 256 configuration bytes; pager memory address a is byte a.
inline constexpr std::size_t kImageSize = 256;
using ConfigImage = std::array<std::uint8_t, kImageSize>;

// A bit field inside one image byte.
struct BitField {
    int pos;
    int shift;
    int width;
};

// (image[pos] >> shift) & (2^width - 1).
std::uint8_t readBits(const ConfigImage& image, int pos, int shift, int width);
inline std::uint8_t readBits(const ConfigImage& image, BitField f) {
    return readBits(image, f.pos, f.shift, f.width);
}

// Clears the field's bits and ORs in value << shift. The value is deliberately
// not masked: callers pass a value that fits the width.
void writeBits(ConfigImage& image, int pos, int shift, int width, std::uint8_t value);
inline void writeBits(ConfigImage& image, BitField f, std::uint8_t value) {
    writeBits(image, f.pos, f.shift, f.width, value);
}

// Multi-byte numbers are stored high byte first.
std::uint16_t readWord(const ConfigImage& image, int pos);
void writeWord(ConfigImage& image, int pos, std::uint16_t value);
std::uint32_t readDword(const ConfigImage& image, int pos);
void writeDword(ConfigImage& image, int pos, std::uint32_t value);

// 16-bit sum of bytes 16..253 of any 256-byte image or buffer.
std::uint16_t imageChecksum(std::span<const std::uint8_t, kImageSize> bytes);
// The checksum held in bytes 254 (high) and 255 (low).
std::uint16_t storedChecksum(std::span<const std::uint8_t, kImageSize> bytes);
