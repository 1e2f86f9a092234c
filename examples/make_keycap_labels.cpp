// Draws the two keycap label templates: 48 frames of keycap size on a 300 dpi bitmap, numbered
// like the keys, with crop marks for cutting. The user draws or types the labels into the frames
// with any image editor and prints at 100 %.
//
// Usage: make_keycap_labels OUTPUT_FOLDER

#include "document/KeycapSheet.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace keyloom::keycaps;

struct Colour {
    uint8_t red, green, blue;
    bool operator==(const Colour&) const = default;
};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kFrame{192, 192, 192}; // light, so a slightly inaccurate cut does not show it
constexpr Colour kCropMark{0, 0, 0};
constexpr Colour kNumber{128, 128, 128};

class Image {
public:
    Image(int width, int height)
        : m_width(width), m_height(height),
          m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kWhite) {}

    void fill(int x, int y, int width, int height, Colour colour) {
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                if (column >= 0 && column < m_width && row >= 0 && row < m_height)
                    at(column, row) = colour;
    }

    // An 8-bit palette Windows bitmap, bottom-up, that any image editor opens (a third of the size
    // of a 24-bit one, and every user's first start copies it); the resolution is stored so that
    // the frames print at their real size.
    bool writeBmp(const std::filesystem::path& path) const {
        constexpr std::array<Colour, 4> kPalette{kWhite, kFrame, kCropMark, kNumber};
        const uint32_t stride = (static_cast<uint32_t>(m_width) + 3) & ~3u;
        const uint32_t imageSize = stride * static_cast<uint32_t>(m_height);
        const uint32_t pixelOffset = 14 + 40 + 4 * static_cast<uint32_t>(kPalette.size());
        const uint32_t dotsPerMetre = static_cast<uint32_t>(kDotsPerInch / 0.0254 + 0.5);
        std::vector<uint8_t> bytes;
        auto put16 = [&](uint32_t value) {
            bytes.push_back(static_cast<uint8_t>(value));
            bytes.push_back(static_cast<uint8_t>(value >> 8));
        };
        auto put32 = [&](uint32_t value) {
            put16(value & 0xFFFF);
            put16(value >> 16);
        };
        bytes.push_back('B');
        bytes.push_back('M');
        put32(pixelOffset + imageSize);
        put32(0);
        put32(pixelOffset);
        put32(40);
        put32(static_cast<uint32_t>(m_width));
        put32(static_cast<uint32_t>(m_height));
        put16(1); // planes
        put16(8); // bits per pixel
        put32(0); // no compression
        put32(imageSize);
        put32(dotsPerMetre);
        put32(dotsPerMetre);
        put32(static_cast<uint32_t>(kPalette.size()));
        put32(0);
        for (const Colour& colour : kPalette) {
            bytes.push_back(colour.blue);
            bytes.push_back(colour.green);
            bytes.push_back(colour.red);
            bytes.push_back(0);
        }
        for (int row = m_height - 1; row >= 0; --row) {
            const std::size_t start = bytes.size();
            for (int column = 0; column < m_width; ++column) {
                const Colour& pixel = at(column, row);
                uint8_t index = 0;
                while (index + 1u < kPalette.size() && !(kPalette[index] == pixel))
                    ++index;
                bytes.push_back(index);
            }
            bytes.resize(start + stride, 0);
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out.flush());
    }

private:
    Colour& at(int x, int y) { return m_pixels[index(x, y)]; }
    const Colour& at(int x, int y) const { return m_pixels[index(x, y)]; }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }

    int m_width;
    int m_height;
    std::vector<Colour> m_pixels;
};

// Digits 0-9 in a 5 x 7 grid, one string per row, '#' for ink.
constexpr std::array<std::array<const char*, 7>, 10> kDigits = {{
    {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "},
    {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "},
    {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"},
    {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "},
    {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "},
    {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "},
    {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "},
    {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "},
    {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "},
    {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "},
}};

void drawNumber(Image& image, int x, int y, int number, int scale) {
    const std::string text = std::to_string(number);
    for (char digit : text) {
        const auto& glyph = kDigits[static_cast<std::size_t>(digit - '0')];
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (glyph[static_cast<std::size_t>(row)][column] == '#')
                    image.fill(x + column * scale, y + row * scale, scale, scale, kNumber);
        x += 6 * scale;
    }
}

// Short marks in the gaps that line up with the frame edges, so the cuts can be made along a
// ruler after the frames have been drawn over.
void drawCropMarks(Image& image, int x, int y, int size) {
    for (int edgeX : {x, x + size - kCropWidth}) {
        image.fill(edgeX, y - kCropOffset - kCropLength, kCropWidth, kCropLength, kCropMark);
        image.fill(edgeX, y + size + kCropOffset, kCropWidth, kCropLength, kCropMark);
    }
    for (int edgeY : {y, y + size - kCropWidth}) {
        image.fill(x - kCropOffset - kCropLength, edgeY, kCropLength, kCropWidth, kCropMark);
        image.fill(x + size + kCropOffset, edgeY, kCropLength, kCropWidth, kCropMark);
    }
}

bool writeTemplate(const std::filesystem::path& path, int frameSize) {
    Image image(SheetWidth(frameSize), SheetHeight(frameSize));
    for (int key = 0; key < kColumns * kRows; ++key) {
        const int x = FrameLeft(key, frameSize);
        const int y = FrameTop(key, frameSize);
        image.fill(x, y, frameSize, kFrameLine, kFrame);
        image.fill(x, y + frameSize - kFrameLine, frameSize, kFrameLine, kFrame);
        image.fill(x, y, kFrameLine, frameSize, kFrame);
        image.fill(x + frameSize - kFrameLine, y, kFrameLine, frameSize, kFrame);
        drawCropMarks(image, x, y, frameSize);
        drawNumber(image, x + 8, y + 8, key + 1, 2);
    }
    return image.writeBmp(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_keycap_labels OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const struct {
        const char* name;
        int frameSize;
    } templates[] = {
        {"Keycap_Labels_Large.bmp", kLargeFrame},
        {"Keycap_Labels_Small.bmp", kSmallFrame},
    };
    for (const auto& labels : templates) {
        if (!writeTemplate(folder / labels.name, labels.frameSize)) {
            std::fprintf(stderr, "make_keycap_labels: cannot write %s\n",
                         (folder / labels.name).string().c_str());
            return 1;
        }
    }
    return 0;
}
