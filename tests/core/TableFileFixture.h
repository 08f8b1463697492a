#pragma once

#include "model/ConfigImage.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

// A folder of the test's own, with helpers to write and read its files.
class TableFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("px520-table-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void writeFile(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> readFile(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static ConfigImage counting() {
        ConfigImage image;
        std::iota(image.begin(), image.end(), std::uint8_t{0});
        return image;
    }
    static bool holdsImage(const std::vector<std::uint8_t>& bytes) {
        const ConfigImage image = counting();
        return bytes.size() >= image.size() && std::equal(image.begin(), image.end(), bytes.begin());
    }

    std::filesystem::path dir;
};
