#include "runtime/codec/gif.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/codec/byte_reader.h"
#include "runtime/codec/gif_lzw.h"

namespace runtime::codec {
namespace {

using Result = Decoded<Picture>;

// Limits that keep the work and memory for any input bounded: the logical
// screen, the number of frames, and the pixels decoded and composed in all.
constexpr int64_t kMaxScreenPixels = 4096 * 4096;
constexpr std::size_t kMaxFrames = 4096;
constexpr int64_t kMaxPixelBudget = int64_t{1} << 25;

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;

enum class Disposal { keep, background, previous };

struct GraphicControl {
    int delayMs = 0;
    Disposal disposal = Disposal::keep;
    int transparentIndex = -1;
};

struct ImageDescriptor {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
};

constexpr uint32_t kOpaque = 0xFF000000u;

// Reads a colour table of 2^(bits+1) entries as 0xRRGGBB.
bool readColourTable(ByteReader& in, int bits, std::vector<uint32_t>& table) {
    const std::size_t entries = std::size_t{1} << (bits + 1);
    std::span<const uint8_t> raw;
    if (!in.take(entries * 3, raw)) return false;
    table.resize(entries);
    for (std::size_t i = 0; i < entries; ++i)
        table[i] = uint32_t{raw[3 * i]} << 16 | uint32_t{raw[3 * i + 1]} << 8 | raw[3 * i + 2];
    return true;
}

enum class SubBlocks { terminated, runToEnd, cut };

// Walks data sub-blocks up to their terminator; `data`, when given, gets their
// contents. Some old encoders ended the file right after the last image's
// data, with no terminator and maybe no trailer: that is `runToEnd`.
SubBlocks readSubBlocks(ByteReader& in, std::vector<uint8_t>* data) {
    for (;;) {
        uint8_t size = 0;
        std::span<const uint8_t> block;
        if (!in.u8(size)) return SubBlocks::runToEnd;
        if (size == 0) return SubBlocks::terminated;
        if (!in.take(size, block))
            return size == kTrailer && in.atEnd() ? SubBlocks::runToEnd : SubBlocks::cut;
        if (data) data->insert(data->end(), block.begin(), block.end());
    }
}

// Row order of an interlaced image: every 8th row from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<int> rowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

class GifDecoder {
public:
    explicit GifDecoder(std::span<const uint8_t> bytes) : in_(bytes) {}

    Result run() {
        if (auto reason = readHeader(); !reason.empty()) return Result::refused(reason);
        while (!imageRanToEnd_) {
            uint8_t introducer = 0;
            if (!in_.u8(introducer)) return Result::refused("file ends before its trailer");
            std::string reason;
            if (introducer == kTrailer) break;
            if (introducer == kExtensionIntroducer) reason = readExtension();
            else if (introducer == kImageSeparator) reason = readImage();
            else reason = "unknown block type";
            if (!reason.empty()) return Result::refused(reason);
        }
        if (picture_.frames.empty()) return Result::refused("no image in the file");
        markTransparentColour();
        return Result::ok(std::move(picture_));
    }

private:
    std::string readHeader() {
        std::span<const uint8_t> signature;
        if (!in_.take(6, signature)) return "too short for a GIF header";
        const std::string text(signature.begin(), signature.end());
        if (text != "GIF89a" && text != "GIF87a") return "not a GIF file";

        uint16_t width = 0, height = 0;
        uint8_t packed = 0, background = 0, aspect = 0;
        if (!in_.u16le(width) || !in_.u16le(height) || !in_.u8(packed) || !in_.u8(background) ||
            !in_.u8(aspect))
            return "file ends inside the logical screen descriptor";
        if (width == 0 || height == 0) return "empty logical screen";
        if (int64_t{width} * height > kMaxScreenPixels) return "logical screen too large";
        picture_.width = width;
        picture_.height = height;
        if ((packed & 0x80) && !readColourTable(in_, packed & 0x07, globalTable_))
            return "file ends inside the global colour table";
        canvas_.assign(static_cast<std::size_t>(width) * height, 0);
        return {};
    }

    std::string readExtension() {
        uint8_t label = 0;
        if (!in_.u8(label)) return "file ends inside an extension";
        if (label == kGraphicControlLabel) {
            uint8_t size = 0, packed = 0, transparent = 0;
            uint16_t delay = 0;
            if (!in_.u8(size) || size != 4) return "graphic control block of the wrong size";
            if (!in_.u8(packed) || !in_.u16le(delay) || !in_.u8(transparent))
                return "file ends inside a graphic control block";
            control_.delayMs = delay * 10;
            const int disposal = (packed >> 2) & 0x07;
            control_.disposal = disposal == 2   ? Disposal::background
                                : disposal == 3 ? Disposal::previous
                                                : Disposal::keep;
            control_.transparentIndex = (packed & 0x01) ? transparent : -1;
        }
        // Comments, application blocks and the rest of a control block carry nothing we draw.
        if (readSubBlocks(in_, nullptr) != SubBlocks::terminated) return "file ends inside an extension";
        return {};
    }

    std::string readImage() {
        if (picture_.frames.size() == kMaxFrames) return "too many frames";
        ImageDescriptor image;
        uint16_t left = 0, top = 0, width = 0, height = 0;
        uint8_t packed = 0;
        if (!in_.u16le(left) || !in_.u16le(top) || !in_.u16le(width) || !in_.u16le(height) ||
            !in_.u8(packed))
            return "file ends inside an image descriptor";
        image = {left, top, width, height, (packed & 0x40) != 0};

        std::vector<uint32_t> localTable;
        if ((packed & 0x80) && !readColourTable(in_, packed & 0x07, localTable))
            return "file ends inside a local colour table";
        const std::vector<uint32_t>& table = (packed & 0x80) ? localTable : globalTable_;
        if (table.empty()) return "image without a colour table";

        const int64_t area = int64_t{width} * height;
        budget_ -= area + int64_t{picture_.width} * picture_.height;
        if (budget_ < 0) return "picture too large";

        uint8_t minCodeSize = 0;
        std::vector<uint8_t> data;
        if (!in_.u8(minCodeSize)) return "file ends inside image data";
        // Data run to the end of the file is taken when it holds all the pixels.
        const SubBlocks blocks = readSubBlocks(in_, &data);
        if (blocks == SubBlocks::cut || (blocks == SubBlocks::runToEnd && data.empty()))
            return "file ends inside image data";
        auto indices = decodeGifLzw(minCodeSize, data, static_cast<std::size_t>(area));
        if (!indices) return indices.reason();
        imageRanToEnd_ = blocks == SubBlocks::runToEnd;

        const int transparent = control_.transparentIndex;
        if (transparent >= 0 && transparent < static_cast<int>(table.size()) &&
            !picture_.transparentColor)
            picture_.transparentColor = table[static_cast<std::size_t>(transparent)];
        return compose(image, table, indices.value());
    }

    // Draws one image onto the canvas after undoing the previous one as its
    // disposal asks, and keeps a copy of the result as a frame.
    std::string compose(const ImageDescriptor& image, const std::vector<uint32_t>& table,
                        const std::vector<uint8_t>& indices) {
        dispose();
        if (control_.disposal == Disposal::previous) saved_ = canvas_;

        const int transparent = control_.transparentIndex;
        const std::vector<int> rows = rowOrder(image.height, image.interlaced);
        std::size_t i = 0;
        for (int row : rows) {
            const int y = image.top + row;
            for (int x = image.left; x < image.left + image.width; ++x) {
                const uint8_t index = indices[i++];
                if (index == transparent) continue;
                if (index >= table.size()) return "pixel outside the colour table";
                if (x < picture_.width && y < picture_.height)
                    canvas_[static_cast<std::size_t>(y) * picture_.width + x] = kOpaque | table[index];
            }
        }
        picture_.frames.push_back({canvas_, control_.delayMs});
        last_ = {image, control_.disposal};
        control_ = {};
        return {};
    }

    void dispose() {
        if (last_.disposal == Disposal::previous) {
            canvas_ = saved_;
        } else if (last_.disposal == Disposal::background) {
            const ImageDescriptor& r = last_.image;
            for (int y = r.top; y < std::min(r.top + r.height, picture_.height); ++y)
                for (int x = r.left; x < std::min(r.left + r.width, picture_.width); ++x)
                    canvas_[static_cast<std::size_t>(y) * picture_.width + x] = 0;
        }
    }

    // Every pixel of the transparent entry's colour is transparent, whatever
    // its index; all transparent pixels carry that colour with alpha 0.
    void markTransparentColour() {
        if (!picture_.transparentColor) return;
        const uint32_t colour = *picture_.transparentColor;
        for (Frame& frame : picture_.frames)
            for (uint32_t& pixel : frame.pixels)
                if ((pixel & 0xFFFFFF) == colour || (pixel & kOpaque) == 0) pixel = colour;
    }

    struct LastImage {
        ImageDescriptor image;
        Disposal disposal = Disposal::keep;
    };

    ByteReader in_;
    Picture picture_;
    std::vector<uint32_t> globalTable_;
    std::vector<uint32_t> canvas_;
    std::vector<uint32_t> saved_;
    GraphicControl control_;
    LastImage last_;
    int64_t budget_ = kMaxPixelBudget;
    bool imageRanToEnd_ = false;  // the last image's data ended the file
};

}  // namespace

Decoded<Picture> decodeGif(std::span<const uint8_t> bytes) { return GifDecoder(bytes).run(); }

}  // namespace runtime::codec
