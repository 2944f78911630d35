#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "runtime/codec/ico.h"
#include "tests/assets/asset_bytes.h"

namespace {

using namespace asset_test;

// One entry of a compiled resource file (.res): its type and name, each a
// number or a UTF-16 string, and its data.
struct Resource {
    std::u16string typeName, name;
    int typeId = -1, nameId = -1;
    uint16_t language = 0;
    Bytes data;
};

std::vector<Resource> readRes(const Bytes& b) {
    std::vector<Resource> out;
    const auto u16 = [&](std::size_t at) { return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8); };
    const auto u32 = [&](std::size_t at) { return uint32_t{u16(at)} | uint32_t{u16(at + 2)} << 16; };
    std::size_t at = 0;
    while (at + 8 <= b.size()) {
        const uint32_t dataSize = u32(at), headerSize = u32(at + 4);
        Resource r;
        std::size_t p = at + 8;
        const auto readId = [&](int& id, std::u16string& text) {
            if (u16(p) == 0xFFFF) {
                id = u16(p + 2);
                p += 4;
                return;
            }
            for (; u16(p) != 0; p += 2) text.push_back(static_cast<char16_t>(u16(p)));
            p += 2;
            p = (p + 3) & ~std::size_t{3};
        };
        readId(r.typeId, r.typeName);
        readId(r.nameId, r.name);
        r.language = u16(p + 6);  // after the data version and memory flags
        const std::size_t data = at + headerSize;
        r.data.assign(b.begin() + static_cast<long>(data), b.begin() + static_cast<long>(data + dataSize));
        if (dataSize > 0 || r.typeId != 0) out.push_back(r);
        at = (data + dataSize + 3) & ~std::size_t{3};
    }
    return out;
}

Bytes utf16(const std::u16string& s) {
    Bytes out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

bool contains(const Bytes& haystack, const Bytes& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

// The resource script the Windows program is built with, compiled with the
// cross tool chain's windres: program icon and version record.
class ResourceScript : public testing::Test {
protected:
    void SetUp() override {
        if (std::string(WINDRES).empty()) GTEST_SKIP() << "no windres";
        const auto out = std::filesystem::temp_directory_path() / ("resource-test-" + std::to_string(getpid()) + ".res");
        const std::string command = std::string(WINDRES) + " -J rc -O res \"" + ASSETS_DIR + "/resource.rc\" -o \"" +
                                    out.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        resources = readRes(readFile(out.string()));
        std::filesystem::remove(out);
    }
    const Resource* find(int type) const {
        for (const Resource& r : resources)
            if (r.typeId == type) return &r;
        return nullptr;
    }
    std::vector<Resource> resources;
};

constexpr int kIcon = 3, kGroupIcon = 14, kVersion = 16;

TEST_F(ResourceScript, DefaultIconIsTheSnowflakeImage) {
    const Resource* group = find(kGroupIcon);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->name, u"DEFAULT_ICON");
    const Resource* icon = find(kIcon);
    ASSERT_NE(icon, nullptr);
    const Bytes ico = committed("snowflake.ico");
    auto images = runtime::codec::readIco(ico);
    ASSERT_TRUE(images);
    const auto& image = images.value()[0].bytes;
    EXPECT_TRUE(icon->data == Bytes(image.begin(), image.end()));
}

TEST_F(ResourceScript, VersionRecord) {
    const Resource* version = find(kVersion);
    ASSERT_NE(version, nullptr);
    const Bytes& d = version->data;
    // VS_FIXEDFILEINFO follows the "VS_VERSION_INFO" key: signature, then
    // struct version, file version (MS, LS), product version (MS, LS).
    const Bytes signature = {0xBD, 0x04, 0xEF, 0xFE};
    const auto at = std::search(d.begin(), d.end(), signature.begin(), signature.end());
    ASSERT_NE(at, d.end());
    const Bytes versions(at + 8, at + 24);
    EXPECT_EQ(versions, (Bytes{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));  // 1.0.0.0 twice
    for (const std::u16string s : {u"080404B0", u"FileDescription", u"圣诞卡", u"ProductName", u"Yorvane的圣诞卡",
                                   u"FileVersion", u"ProductVersion", u"1.0.0.0", u"Translation"})
        EXPECT_TRUE(contains(d, utf16(s))) << std::string(s.begin(), s.end());
    EXPECT_TRUE(contains(d, {0x04, 0x08, 0xB0, 0x04})) << "translation 0x0804, 0x04B0";
    EXPECT_EQ(version->language, 0x0804);
}

}  // namespace
