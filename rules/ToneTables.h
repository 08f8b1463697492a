#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A tone in tenths of a hertz (330.5 Hz is 3305).
using ToneTenths = std::uint16_t;

inline constexpr std::size_t kToneGroupCount = 14;
inline constexpr std::size_t kTonesPerGroup = 10;
inline constexpr std::size_t kStandardToneCount = kToneGroupCount * kTonesPerGroup;

// One named group of ten tones; a tone's index in the group is its digit.
struct ToneGroup {
    std::string_view header;
    std::array<ToneTenths, kTonesPerGroup> tones;
};

// The groups in the column order of the tone table.
extern const std::array<ToneGroup, kToneGroupCount> ToneGroupTable;

// A tone as the Tone Table shows it: hertz with one decimal ("330.5").
std::string toneTableText(ToneTenths tone);

// Every tone of ToneGroupTable in ascending order, duplicates kept.
extern const std::array<ToneTenths, kStandardToneCount> StandardToneList;
