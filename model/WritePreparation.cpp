#include "model/WritePreparation.h"

#include "model/ByteMap.h"

namespace {
constexpr std::uint8_t kBatteryLowOnWrite = 103;
}

void prepareImageForWrite(ConfigImage& image, const FirmwareVersion& firmware,
                          const VersionTag& tag) {
    // Firmware 1.86 reads the group priorities from bit 7 of bytes 104/106.
    const bool mirror = firmware.hundredths() == kFirmwareMirrorsGroupPriority;
    writeBits(image, field::WriteBit7A, 7, 1,
              mirror ? readBits(image, field::GPriority(1)) : std::uint8_t{0});
    writeBits(image, field::WriteBit7B, 7, 1,
              mirror ? readBits(image, field::GPriority(2)) : std::uint8_t{0});
    image[field::WriteMark] = 1;
    image[field::BatteryLow] = kBatteryLowOnWrite;
    image[field::Duty] &= 0x0F;
    storeVersionTag(image, tag);
    writeWord(image, field::Checksum, imageChecksum(image));
}
