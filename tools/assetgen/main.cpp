// Writes the program's four asset files into a folder, byte for byte the
// same on every run.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "tools/assetgen/generators.h"

namespace {

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <output folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        const bool ok = writeFile(dir + "/snowflake.gif", assetgen::makeSnowflakeGif()) &&
                        writeFile(dir + "/snowflake.ico", assetgen::makeSnowflakeIcon()) &&
                        writeFile(dir + "/card.gif", assetgen::makeCardGif(CC_SCRIPT_FONT)) &&
                        writeFile(dir + "/carol.mid", assetgen::makeCarol());
        if (!ok) {
            std::fprintf(stderr, "assetgen: cannot write into %s\n", dir.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
