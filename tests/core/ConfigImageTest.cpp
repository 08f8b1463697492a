#include "model/ByteMap.h"
#include "model/ConfigImage.h"
#include "model/DefaultImage.h"
#include "model/FirmwareVersion.h"
#include "model/VersionTag.h"
#include "model/WritePreparation.h"

#include <gtest/gtest.h>

namespace {

ConfigImage taggedDefault() {
    ConfigImage image = defaultImage();
    storeVersionTag(image, makeVersionTag(kWindowCaption));
    return image;
}

TEST(BitFields, ReadAndWriteKeepTheOtherBits) {
    ConfigImage image = defaultImage();
    EXPECT_EQ(readBits(image, 48, 0, 1), 1);
    EXPECT_EQ(readBits(image, 48, 1, 1), 0);

    writeBits(image, field::SystemFlag(field::SYSPrivacy), 1);
    EXPECT_EQ(image[69], 0x85);
    writeBits(image, 69, 2, 1, 0);
    EXPECT_EQ(image[69], 0x81);

    image[96] = 0x80;
    writeBits(image, field::AlertType(1), 8);
    EXPECT_EQ(image[96], 0x88);
    EXPECT_EQ(readBits(image, field::Priority(1)), 1);
}

TEST(BitFields, WriteDoesNotMaskTheValue) {
    ConfigImage image{};
    writeBits(image, 50, 0, 1, 3); // a value wider than its field spills over
    EXPECT_EQ(image[50], 0x03);
}

TEST(ByteMap, PositionsOfPerCallFields) {
    EXPECT_EQ(field::T1(1), 192);
    EXPECT_EQ(field::T2(4), 206);
    EXPECT_EQ(field::T3(2), 226);
    EXPECT_EQ(field::T1Code(1), 16);
    EXPECT_EQ(field::T2Code(4), 30);
    EXPECT_EQ(field::T3Code(1), 87);
    EXPECT_EQ(field::CallRecord(4), 102);
    EXPECT_EQ(field::AlertTime(1), 97);
    EXPECT_EQ(field::GroupRecord(2), 114);
    EXPECT_EQ(field::GAlertTime(1), 113);
}

TEST(DefaultImage, ReadsAsTheDocumentedFields) {
    const ConfigImage image = defaultImage();
    EXPECT_EQ(readWord(image, field::T1(1)), 6699);
    EXPECT_EQ(readWord(image, field::T2(1)), 7073);
    EXPECT_EQ(readWord(image, field::T1(4)), 5390);
    EXPECT_EQ(readWord(image, field::T2(4)), 11225);
    EXPECT_EQ(readWord(image, field::T3(1)), 3305);
    EXPECT_EQ(readWord(image, field::T3(2)), 6009);
    EXPECT_EQ(readWord(image, field::T1Code(1)), 0x8B0B);
    EXPECT_EQ(readWord(image, field::Tone3Len), 50);
    EXPECT_EQ(readDword(image, field::PLLR), 0x00010011u);
    EXPECT_EQ(readDword(image, field::PLLN), 0x00158000u);
    EXPECT_EQ(image[field::CSpace], 32);
    EXPECT_EQ(image[field::BatteryLow], 103);
    EXPECT_EQ(image[field::Reminder], 240);
    EXPECT_EQ(image[field::Flags], 0x08);
    for (int p = 240; p < 256; ++p) {
        EXPECT_EQ(image[p], 0) << p;
    }
}

TEST(Checksum, SumsBytes16To253AndNeverWraps) {
    ConfigImage image{};
    image.fill(0xFF);
    EXPECT_EQ(imageChecksum(image), 60690);
    writeWord(image, field::Checksum, imageChecksum(image));
    EXPECT_EQ(image[254], 0xED);
    EXPECT_EQ(image[255], 0x12);
    EXPECT_EQ(storedChecksum(image), 60690);

    ConfigImage other = taggedDefault();
    const auto before = imageChecksum(other);
    other[field::Freq] = 4;
    other[field::CSpace] = 1;
    other[field::WriteMark] = 7;
    EXPECT_EQ(imageChecksum(other), before);
}

TEST(VersionTag, TrimsPadsAndCuts) {
    const VersionTag expected{0x50, 0x58, 0x35, 0x32, 0x30, 0x20, 0x56,
                              0x33, 0x2E, 0x38, 0x2E, 0x32, 0x00, 0x00};
    EXPECT_EQ(makeVersionTag("PX520 V3.8.2"), expected);
    EXPECT_EQ(makeVersionTag(" \t PX520 V3.8.2 \r\n"), expected);
    const VersionTag cut = makeVersionTag("ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(std::string(cut.begin(), cut.end()), "ABCDEFGHIJKLMN");
    EXPECT_EQ(makeVersionTag("   "), VersionTag{});
}

TEST(FirmwareVersion, ComparesAsTwoDecimals) {
    struct Case {
        std::uint8_t major, minor;
        const char* text;
        int hundredths;
    };
    for (const Case c : {Case{1, 83, "1.83", 183}, Case{1, 9, "1.9", 190}, Case{1, 100, "1.100", 110},
                         Case{1, 86, "1.86", 186}, Case{2, 5, "2.5", 250}, Case{0, 0, "0.0", 0},
                         Case{1, 80, "1.80", 180}}) {
        const FirmwareVersion v{c.major, c.minor};
        EXPECT_EQ(v.text(), c.text);
        EXPECT_EQ(v.hundredths(), c.hundredths) << c.text;
    }
}

TEST(WritePreparation, AdjustsMarksTagAndChecksum) {
    ConfigImage image = defaultImage();
    image[field::Duty] = 0xF5;
    image[field::BatteryLow] = 94;
    image[104] = 0x80;
    image[106] = 0x81;
    image[112] = 0x80; // GPriority[1] on, GPriority[2] off
    prepareImageForWrite(image, FirmwareVersion{1, 90}, makeVersionTag(kWindowCaption));
    EXPECT_EQ(image[field::WriteMark], 1);
    EXPECT_EQ(image[field::BatteryLow], 103);
    EXPECT_EQ(image[field::Duty], 0x05);
    EXPECT_EQ(image[104], 0x00);
    EXPECT_EQ(image[106], 0x01);
    EXPECT_TRUE(tagNamesModel(image));
    EXPECT_EQ(image[252], 0);
    EXPECT_EQ(storedChecksum(image), imageChecksum(image));
}

TEST(WritePreparation, Firmware186MirrorsGroupPriorities) {
    ConfigImage image = defaultImage();
    image[104] = 0x01;
    image[106] = 0x82;
    image[112] = 0x80;
    image[114] = 0x00;
    prepareImageForWrite(image, FirmwareVersion{1, 86}, makeVersionTag(kWindowCaption));
    EXPECT_EQ(image[104], 0x81);
    EXPECT_EQ(image[106], 0x02);
}

} // namespace
