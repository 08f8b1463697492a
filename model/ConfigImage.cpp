#include "model/ConfigImage.h"

#include "model/ByteMap.h"

std::uint8_t readBits(const ConfigImage& image, int pos, int shift, int width) {
    const unsigned mask = (1u << width) - 1u;
    return static_cast<std::uint8_t>((image.at(pos) >> shift) & mask);
}

void writeBits(ConfigImage& image, int pos, int shift, int width, std::uint8_t value) {
    const unsigned mask = ((1u << width) - 1u) << shift;
    auto& byte = image.at(pos);
    byte = static_cast<std::uint8_t>((byte & ~mask) | (unsigned{value} << shift));
}

std::uint16_t readWord(const ConfigImage& image, int pos) {
    return static_cast<std::uint16_t>(image.at(pos) << 8 | image.at(pos + 1));
}

void writeWord(ConfigImage& image, int pos, std::uint16_t value) {
    image.at(pos) = static_cast<std::uint8_t>(value >> 8);
    image.at(pos + 1) = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint32_t readDword(const ConfigImage& image, int pos) {
    return std::uint32_t{readWord(image, pos)} << 16 | readWord(image, pos + 2);
}

void writeDword(ConfigImage& image, int pos, std::uint32_t value) {
    writeWord(image, pos, static_cast<std::uint16_t>(value >> 16));
    writeWord(image, pos + 2, static_cast<std::uint16_t>(value & 0xFFFF));
}

std::uint16_t imageChecksum(std::span<const std::uint8_t, kImageSize> bytes) {
    std::uint16_t sum = 0;
    for (int p = field::ChecksumFirst; p <= field::ChecksumLast; ++p) {
        sum = static_cast<std::uint16_t>(sum + bytes[p]);
    }
    return sum;
}

std::uint16_t storedChecksum(std::span<const std::uint8_t, kImageSize> bytes) {
    return static_cast<std::uint16_t>(bytes[field::Checksum] << 8 | bytes[field::Checksum + 1]);
}
