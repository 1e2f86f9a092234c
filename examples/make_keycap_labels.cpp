// Makes the keycap label templates, large and small: 48 frames of keycap size numbered like the
// keys, as a 300 dpi bitmap with crop marks for any image editor, as a word-processor document
// (.doc) with a table cell per keycap and as a spreadsheet (.xls) with a cell per keycap. The
// user fills the frames in and prints at 100 %.
//
// Usage: make_keycap_labels OUTPUT_FOLDER

#include "document/KeycapSheet.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
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

// The sheet's lengths in the units of the document formats, from the bitmap's dots.
constexpr int Twips(int dots) { return (dots * 1440 + kDotsPerInch / 2) / kDotsPerInch; }
// The gap above row (1..5) of frames, from the rounded places of the frames around it, so that
// the roundings do not add up down the sheet.
constexpr int GapTwipsAbove(int row, int frame) {
    return Twips(row * (frame + kGap)) - Twips((row - 1) * (frame + kGap) + frame);
}

// The document: Rich Text, which Word and every other word processor read as a .doc of their
// own, as a table whose rows and columns alternate keycap frames and cutting gaps at their exact
// sizes. The frames' lines are light grey, as on the bitmap, and each frame holds its key number.
std::string KeycapDocument(int frame) {
    std::ostringstream rtf;
    rtf << "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
           "{\\colortbl;\\red192\\green192\\blue192;\\red128\\green128\\blue128;}\n"
        << "\\margl720\\margr720\\margt720\\margb720\\f0\\fs16\n"; // half an inch, as the printed sheets
    const char* border = "\\brdrs\\brdrw10\\brdrcf1";
    for (int row = 0; row < kRows; ++row) {
        if (row > 0) {
            // The gap: one empty cell of the table's width.
            rtf << "\\trowd\\trgaph0\\trleft0\\trrh-" << GapTwipsAbove(row, frame) << "\\cellx"
                << Twips(kColumns * frame + (kColumns - 1) * kGap) << "\\pard\\intbl\\fs2\\cell\\row\n";
        }
        rtf << "\\trowd\\trgaph0\\trleft0\\trrh-" << Twips(frame);
        for (int column = 0; column < kColumns; ++column) {
            const int left = column * (frame + kGap);
            if (column > 0)
                rtf << "\\cellx" << Twips(left);
            rtf << "\\clbrdrt" << border << "\\clbrdrl" << border << "\\clbrdrb" << border << "\\clbrdrr" << border
                << "\\cellx" << Twips(left + frame);
        }
        rtf << "\n";
        for (int column = 0; column < kColumns; ++column) {
            if (column > 0)
                rtf << "\\pard\\intbl\\cell";
            rtf << "\\pard\\intbl\\cf2\\fs12 " << row * kColumns + column + 1 << "\\cf0\\fs16\\cell";
        }
        rtf << "\\row\n";
    }
    rtf << "\\pard\\par}\n";
    return rtf.str();
}

// Little-endian bytes, as both binary formats below store their numbers.
class Bytes {
public:
    void u8(uint32_t value) { m_bytes.push_back(static_cast<uint8_t>(value)); }
    void u16(uint32_t value) {
        u8(value & 0xFF);
        u8(value >> 8 & 0xFF);
    }
    void u32(uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void f64(double value) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u32(static_cast<uint32_t>(bits));
        u32(static_cast<uint32_t>(bits >> 32));
    }
    void bytes(const std::vector<uint8_t>& more) { m_bytes.insert(m_bytes.end(), more.begin(), more.end()); }
    // A BIFF record: its type, its length and its data.
    void record(uint16_t type, const Bytes& data) {
        u16(type);
        u16(static_cast<uint32_t>(data.m_bytes.size()));
        bytes(data.m_bytes);
    }
    std::size_t size() const { return m_bytes.size(); }
    void resize(std::size_t size) { m_bytes.resize(size, 0); }
    const std::vector<uint8_t>& data() const { return m_bytes; }
    void patch32(std::size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            m_bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    }

private:
    std::vector<uint8_t> m_bytes;
};

// An 8-bit string as BIFF8 stores a short one: its length, a flag byte, its characters.
Bytes ShortString(const char* text) {
    Bytes string;
    string.u8(static_cast<uint32_t>(std::strlen(text)));
    string.u8(0);
    for (const char* c = text; *c; ++c)
        string.u8(static_cast<uint8_t>(*c));
    return string;
}

Bytes Font(int twentiethsOfPoints, uint32_t colour) {
    Bytes font;
    font.u16(static_cast<uint32_t>(twentiethsOfPoints));
    font.u16(0);      // plain
    font.u16(colour); // palette index; 0x7FFF automatic
    font.u16(400);    // normal weight
    font.u16(0);      // no super- or subscript
    font.u8(0);       // no underline
    font.u8(2);       // swiss family
    font.u8(0);       // ANSI character set
    font.u8(0);
    font.bytes(ShortString("Arial").data());
    return font;
}

constexpr uint32_t kSilver = 0x16; // the default palette's 192, 192, 192
constexpr uint32_t kGrey = 0x17;   // 128, 128, 128

// A cell format. Style formats (the 15 Excel expects first) leave everything to Normal; the
// keycap format has light grey thin lines round the frame and its number small in the top left.
Bytes CellFormat(bool style, bool keycap) {
    Bytes xf;
    xf.u16(keycap ? 5 : 0);              // font (index 4 does not exist in BIFF)
    xf.u16(0);                           // General
    xf.u16(style ? 0xFFF5 : 0x0001);     // locked; a style, or a cell of style 0
    xf.u8(keycap ? 0x01 : 0x20);         // left and top, or the default bottom
    xf.u8(0);
    xf.u8(0);
    xf.u8(style ? 0x00 : 0xFC);          // a cell uses all of its own attributes
    xf.u32(keycap ? 0x1111 | kSilver << 16 | kSilver << 23 : 0);
    xf.u32(keycap ? kSilver | kSilver << 7 : 0);
    xf.u16(0x20C0);                      // no fill
    return xf;
}

// Excel's column widths are in 1/256 of the default font's digit, 7 pixels of 96 dpi for 10-point
// Arial, plus 5 pixels of padding.
uint32_t ColumnWidth(int dots) {
    const double pixels = dots * 96.0 / kDotsPerInch;
    return static_cast<uint32_t>((pixels - 5) / 7 * 256 + 0.5);
}

// The spreadsheet's workbook stream in the Excel 97 (BIFF8) format: one sheet whose rows and
// columns alternate keycap cells and cutting gaps at their printed sizes (the rows exactly, the
// columns as Excel measures them), each keycap cell framed and numbered, printed at 100 % without
// gridlines.
std::vector<uint8_t> KeycapWorkbook(int frame) {
    Bytes book;
    auto bof = [](uint16_t kind) {
        Bytes data;
        data.u16(0x0600);
        data.u16(kind);
        data.u16(0x0DBB);
        data.u16(0x07CC);
        data.u32(0);
        data.u32(0x06);
        return data;
    };
    book.record(0x0809, bof(0x0005));
    Bytes codePage;
    codePage.u16(1252);
    book.record(0x0042, codePage);
    Bytes window;
    for (uint32_t value : {0u, 0u, 0x4000u, 0x3000u, 0x0038u, 0u, 0u, 1u, 0x0258u})
        window.u16(value);
    book.record(0x003D, window);
    for (int i = 0; i < 4; ++i)
        book.record(0x0031, Font(200, 0x7FFF));
    book.record(0x0031, Font(120, kGrey));
    for (int i = 0; i < 15; ++i)
        book.record(0x00E0, CellFormat(true, false));
    book.record(0x00E0, CellFormat(false, false)); // 15, the cells' default
    book.record(0x00E0, CellFormat(false, true));  // 16, the keycaps
    Bytes style;
    style.u16(0x8000);
    style.u8(0);
    style.u8(0xFF);
    book.record(0x0293, style);
    Bytes sheet;
    sheet.u32(0); // where the sheet starts, set below
    sheet.u8(0);
    sheet.u8(0);
    sheet.bytes(ShortString("Keycap labels").data());
    const std::size_t sheetPosition = book.size() + 4;
    book.record(0x0085, sheet);
    book.record(0x000A, Bytes());

    book.patch32(sheetPosition, static_cast<uint32_t>(book.size()));
    book.record(0x0809, bof(0x0010));
    // Grid rows and columns: frames and gaps in turn. The page margins leave room for a column
    // a little wider than measured.
    const int gridRows = 2 * kRows - 1;
    const int gridColumns = 2 * kColumns - 1;
    for (const auto& [type, inches] : {std::pair{0x0026, 0.4}, std::pair{0x0027, 0.4}, std::pair{0x0028, 0.5},
                                       std::pair{0x0029, 0.5}}) {
        Bytes margin;
        margin.f64(inches);
        book.record(static_cast<uint16_t>(type), margin);
    }
    Bytes noGridlines;
    noGridlines.u16(0);
    book.record(0x002B, noGridlines);
    Bytes dimensions;
    dimensions.u32(0);
    dimensions.u32(static_cast<uint32_t>(gridRows));
    dimensions.u16(0);
    dimensions.u16(static_cast<uint32_t>(gridColumns));
    dimensions.u16(0);
    book.record(0x0200, dimensions);
    for (int column = 0; column < gridColumns; ++column) {
        Bytes info;
        info.u16(static_cast<uint32_t>(column));
        info.u16(static_cast<uint32_t>(column));
        info.u16(ColumnWidth(column % 2 == 0 ? frame : kGap));
        info.u16(15);
        info.u16(0);
        info.u16(0);
        book.record(0x007D, info);
    }
    for (int row = 0; row < gridRows; ++row) {
        Bytes info;
        info.u16(static_cast<uint32_t>(row));
        info.u16(0);
        info.u16(static_cast<uint32_t>(gridColumns));
        info.u16(static_cast<uint32_t>(row % 2 == 0 ? Twips(frame) : GapTwipsAbove((row + 1) / 2, frame)));
        info.u16(0);
        info.u16(0);
        info.u16(0x0140); // a height of its own
        info.u16(15);
        book.record(0x0208, info);
    }
    for (int key = 0; key < kColumns * kRows; ++key) {
        Bytes number;
        number.u16(static_cast<uint32_t>(2 * (key / kColumns)));
        number.u16(static_cast<uint32_t>(2 * (key % kColumns)));
        number.u16(16);
        number.f64(key + 1);
        book.record(0x0203, number);
    }
    Bytes window2;
    for (uint32_t value : {0x06B4u, 0u, 0u, 64u, 0u, 0u, 0u, 0u, 0u})
        window2.u16(value);
    book.record(0x023E, window2);
    book.record(0x000A, Bytes());
    return book.data();
}

// The compound file that holds a workbook, as Excel 97 writes it: 512-byte sectors, one
// allocation table sector, one directory sector with the root and the "Workbook" stream. A stream
// under 4096 bytes would belong in the small-stream area, so the workbook is padded to that size.
std::vector<uint8_t> CompoundFile(std::vector<uint8_t> workbook) {
    constexpr uint32_t kSector = 512;
    constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
    constexpr uint32_t kFree = 0xFFFFFFFF;
    constexpr uint32_t kTableSector = 0xFFFFFFFD;
    if (workbook.size() < 4096)
        workbook.resize(4096, 0);
    const auto streamSectors = static_cast<uint32_t>((workbook.size() + kSector - 1) / kSector);
    const uint32_t tableSector = streamSectors;
    const uint32_t directorySector = streamSectors + 1;

    Bytes file;
    for (uint8_t byte : {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1})
        file.u8(byte);
    for (int i = 0; i < 4; ++i)
        file.u32(0);           // class id
    file.u16(0x003E);          // minor version
    file.u16(0x0003);          // major version: 512-byte sectors
    file.u16(0xFFFE);          // little-endian
    file.u16(9);               // sectors of 2^9 bytes
    file.u16(6);               // small sectors of 2^6 bytes
    file.u16(0);
    file.u32(0);
    file.u32(0);               // directory sectors (none counted in version 3)
    file.u32(1);               // allocation table sectors
    file.u32(directorySector);
    file.u32(0);
    file.u32(4096);            // the small-stream cutoff
    file.u32(kEndOfChain);     // no small-stream table
    file.u32(0);
    file.u32(kEndOfChain);     // no further table of table sectors
    file.u32(0);
    file.u32(tableSector);
    for (int i = 1; i < 109; ++i)
        file.u32(kFree);

    std::vector<uint8_t> padded = workbook;
    padded.resize(static_cast<std::size_t>(streamSectors) * kSector, 0);
    file.bytes(padded);

    for (uint32_t sector = 0; sector < kSector / 4; ++sector) {
        if (sector + 1 < streamSectors)
            file.u32(sector + 1);
        else if (sector + 1 == streamSectors || sector == directorySector)
            file.u32(kEndOfChain);
        else if (sector == tableSector)
            file.u32(kTableSector);
        else
            file.u32(kFree);
    }

    auto entry = [&file](const char* name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
        const std::size_t length = std::strlen(name);
        for (std::size_t i = 0; i < 32; ++i)
            file.u16(i < length ? static_cast<uint8_t>(name[i]) : 0);
        file.u16(length ? static_cast<uint32_t>(2 * (length + 1)) : 0);
        file.u8(type);
        file.u8(type ? 1 : 0); // black
        file.u32(0xFFFFFFFF);  // no siblings
        file.u32(0xFFFFFFFF);
        file.u32(child);
        for (int i = 0; i < 4; ++i)
            file.u32(0);       // class id
        file.u32(0);           // state
        for (int i = 0; i < 4; ++i)
            file.u32(0);       // times
        file.u32(start);
        file.u32(size);
        file.u32(0);
    };
    entry("Root Entry", 5, 1, kEndOfChain, 0);
    entry("Workbook", 2, 0xFFFFFFFF, 0, static_cast<uint32_t>(workbook.size()));
    entry("", 0, 0xFFFFFFFF, 0, 0);
    entry("", 0, 0xFFFFFFFF, 0, 0);
    return file.data();
}

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool writeDocument(const std::filesystem::path& path, int frameSize) {
    return WriteBytes(path, KeycapDocument(frameSize));
}

bool writeSpreadsheet(const std::filesystem::path& path, int frameSize) {
    const std::vector<uint8_t> file = CompoundFile(KeycapWorkbook(frameSize));
    return WriteBytes(path, std::string(file.begin(), file.end()));
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
        bool (*write)(const std::filesystem::path&, int);
    } templates[] = {
        {"Keycap_Labels_Large.bmp", kLargeFrame, writeTemplate},
        {"Keycap_Labels_Large.doc", kLargeFrame, writeDocument},
        {"Keycap_Labels_Large.xls", kLargeFrame, writeSpreadsheet},
        {"Keycap_Labels_Small.bmp", kSmallFrame, writeTemplate},
        {"Keycap_Labels_Small.doc", kSmallFrame, writeDocument},
        {"Keycap_Labels_Small.xls", kSmallFrame, writeSpreadsheet},
    };
    for (const auto& labels : templates) {
        if (!labels.write(folder / labels.name, labels.frameSize)) {
            std::fprintf(stderr, "make_keycap_labels: cannot write %s\n",
                         (folder / labels.name).string().c_str());
            return 1;
        }
    }
    return 0;
}
