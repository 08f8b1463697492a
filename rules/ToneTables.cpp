#include "rules/ToneTables.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// The three GE headers end in a blank.
constexpr std::array<ToneGroup, kToneGroupCount> kGroups{{
    {"Mot 1", {3305, 3490, 3685, 3890, 4108, 4337, 4579, 4835, 5105, 5390}},
    {"Mot 2", {5691, 6009, 6345, 6699, 7073, 7468, 7885, 8325, 8790, 9281}},
    {"Mot 3", {10924, 2885, 2965, 3047, 3130, 9537, 9799, 10069, 10347, 10632}},
    {"Mot 4", {3217, 3396, 3586, 3786, 3998, 4221, 4457, 4705, 4968, 5246}},
    {"Mot 5", {5539, 5848, 6174, 6519, 6883, 7268, 7674, 8102, 8555, 9032}},
    {"Mot 6", {11225, 11534, 11852, 12178, 12514, 12858, 13212, 13576, 13950, 14334}},
    {"Mot A", {3589, 3981, 4416, 4898, 5433, 6026, 6683, 7413, 8222, 9120}},
    {"Mot B", {3715, 4121, 4571, 5070, 5623, 6237, 6918, 7674, 8511, 9441}},
    {"Mot Z", {3467, 3846, 4266, 4732, 5248, 5821, 6457, 7161, 7943, 8810}},
    {"Mot 10", {14729, 15135, 15552, 15980, 16420, 16872, 17337, 17815, 18305, 18810}},
    {"Mot 11", {19302, 19890, 20438, 20945, 21556, 22122, 22717, 23346, 24010, 24682}},
    {"GE A' ", {6825, 5925, 7575, 8025, 8475, 8925, 9375, 5475, 7275, 6375}},
    {"GE B' ", {6525, 6075, 7875, 8325, 8775, 9225, 9675, 5175, 5625, 6975}},
    {"GE C' ", {6675, 7125, 7725, 8175, 8625, 9075, 9525, 5325, 5775, 6225}},
}};

constexpr std::array<ToneTenths, kStandardToneCount> sortedTones() {
    std::array<ToneTenths, kStandardToneCount> list{};
    auto out = list.begin();
    for (const auto& group : kGroups) {
        out = std::copy(group.tones.begin(), group.tones.end(), out);
    }
    std::sort(list.begin(), list.end());
    return list;
}

constexpr auto kSorted = sortedTones();

// The Standard range rule admits exactly the span of the list.
static_assert(kSorted.front() == 2885 && kSorted.back() == 24682);

} // namespace

constinit const std::array<ToneGroup, kToneGroupCount> ToneGroupTable = kGroups;
constinit const std::array<ToneTenths, kStandardToneCount> StandardToneList = kSorted;

std::string toneTableText(ToneTenths tone) {
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "%0.1f", tone * 0.1);
    return {text.data(), static_cast<std::size_t>(length)};
}
