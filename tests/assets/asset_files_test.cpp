#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/assets.h"
#include "tests/assets/asset_bytes.h"

namespace {

using asset_test::Bytes;
using asset_test::committed;

const char* const kFiles[] = {"carol.mid", "snowflake.ico", "snowflake.gif", "card.gif"};

TEST(AssetFiles, GeneratorRewritesTheCommittedFilesByteForByte) {
    std::string pattern = (std::filesystem::temp_directory_path() / "assetgen-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path dir = pattern;
    const std::string command = std::string("\"") + ASSETGEN + "\" \"" + dir.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* name : kFiles) {
        const Bytes made = asset_test::readFile((dir / name).string());
        const Bytes kept = committed(name);
        ASSERT_FALSE(kept.empty()) << name;
        EXPECT_TRUE(made == kept) << name << ": regenerated " << made.size() << " bytes, committed " << kept.size();
    }
    std::filesystem::remove_all(dir);
}

TEST(AssetFiles, ProgramCarriesTheCommittedFiles) {
    const std::pair<const char*, std::span<const uint8_t>> embedded[] = {
        {"carol.mid", assets::carol()},
        {"snowflake.ico", assets::snowflakeIcon()},
        {"snowflake.gif", assets::snowflakeGif()},
        {"card.gif", assets::cardGif()},
    };
    for (const auto& [name, bytes] : embedded) {
        const Bytes kept = committed(name);
        ASSERT_FALSE(kept.empty()) << name;
        EXPECT_TRUE(Bytes(bytes.begin(), bytes.end()) == kept) << name;
    }
}

// The byte constant in front of each file: dimension count 1, then the length.
TEST(AssetFiles, EachFileIsPrecededByItsByteConstantHeader) {
    for (std::span<const uint8_t> bytes : {assets::carol(), assets::snowflakeIcon(), assets::snowflakeGif(), assets::cardGif()}) {
        const uint8_t* header = bytes.data() - 8;
        const uint32_t count = header[0] | header[1] << 8 | header[2] << 16 | uint32_t{header[3]} << 24;
        const uint32_t length = header[4] | header[5] << 8 | header[6] << 16 | uint32_t{header[7]} << 24;
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(length, bytes.size());
    }
}

}  // namespace
