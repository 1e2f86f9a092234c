#include "document/CellList.h"

#include "document/HexText.h"
#include "document/KeyCodeTable.h"
#include "document/Protocol.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string_view>
#include <utility>

namespace keyloom {

namespace {

constexpr uint8_t kCapsLockCode = 0x58;
constexpr uint8_t kFirstMouseMove = 0x90;
constexpr uint8_t kLastMouseMove = 0x95;

// A level's bytes read through a bound: past the array everything reads as 0, so a level whose
// last byte is not 0 (a damaged document) still renders without reading outside its array.
class LevelBytes {
public:
    explicit LevelBytes(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    uint8_t operator[](std::size_t index) const {
        return index < m_bytes.size() ? m_bytes[index] : 0;
    }

private:
    std::span<const uint8_t> m_bytes;
};

void AppendDecimal(std::string& text, unsigned value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

struct NamedCode {
    uint8_t byte;
    uint32_t bit;
    std::string_view name;
};

// Releases: the left modifiers after F0, the right-hand ones and the Windows keys after E0 F0.
constexpr NamedCode kBreakReleases[] = {
    {0x11, kLeftAlt, "L Alt Up"},
    {0x12, kLeftShift, "L Shift Up"},
    {0x14, kLeftCtrl, "L Ctrl Up"},
    {0x59, kRightShift, "R Shift Up"},
};
constexpr NamedCode kExtendedReleases[] = {
    {0x11, kRightAlt, "R Alt Up"},
    {0x14, kRightCtrl, "R Ctrl Up"},
    {0x1F, kLeftWin, "L Win Up"},
    {0x27, kRightWin, "R Win Up"},
};
// Presses of the same keys, which render through the tables and only add their state bit.
constexpr NamedCode kSinglePresses[] = {
    {0x11, kLeftAlt, {}},
    {0x12, kLeftShift, {}},
    {0x14, kLeftCtrl, {}},
    {0x59, kRightShift, {}},
};
constexpr NamedCode kExtendedPresses[] = {
    {0x11, kRightAlt, {}},
    {0x14, kRightCtrl, {}},
    {0x1F, kLeftWin, {}},
    {0x27, kRightWin, {}},
};
constexpr NamedCode kLedCommands[] = {
    {0x04, 0, "LED1 Off"}, {0x05, 0, "LED1 On"}, {0x06, 0, "LED1 Flash"},
    {0x14, 0, "LED2 Off"}, {0x15, 0, "LED2 On"}, {0x16, 0, "LED2 Flash"},
    {0x24, 0, "LED3 Off"}, {0x25, 0, "LED3 On"}, {0x26, 0, "LED3 Flash"},
};

template <std::size_t Count>
const NamedCode* Find(const NamedCode (&codes)[Count], uint8_t byte) {
    for (const NamedCode& code : codes) {
        if (code.byte == byte)
            return &code;
    }
    return nullptr;
}

// Bytes a code needs by its first bytes, for the codes that take a parameter or a second byte
// whatever follows: a delay (E2 01 nn), another device command (E2 cc), a mouse move (9x nn).
int RequiredBytes(uint8_t b, uint8_t c) {
    if (b == kDevicePrefix)
        return c == kDelayCommand ? 3 : 2;
    if (b >= kFirstMouseMove && b <= kLastMouseMove)
        return 2;
    return 1;
}

} // namespace

bool UseShiftedName(uint8_t codeClass, ModifierState state) {
    const bool shift = (state & (kLeftShift | kRightShift)) != 0;
    const bool caps = (state & kCapsLock) != 0;
    switch (codeClass) {
    case kLetterClass:
        return shift != caps;
    case kShiftedSymbolClass:
        return shift;
    default:
        return false;
    }
}

std::vector<std::string> EveryCellText() {
    std::vector<std::string> texts = {"Dly 1020ms", "e2 01 ff", "Break", "f0", "Ext", "e0"};
    const auto addTable = [&texts](const KeyCodeEntry& entry, bool mouseMove) {
        for (std::string_view text : {entry.name, entry.shiftedName, entry.codeText}) {
            if (!text.empty())
                texts.push_back(std::string(text) + (mouseMove ? (text == entry.codeText ? " ff" : " 255") : ""));
        }
    };
    for (int code = 0; code < kSingleByteTableSize; ++code)
        addTable(SingleByteEntry(static_cast<uint8_t>(code)), code >= kFirstMouseMove && code <= kLastMouseMove);
    for (int code = 0; code < kExtendedTableSize; ++code)
        addTable(ExtendedEntry(static_cast<uint8_t>(code)), false);
    for (const auto* codes : {&kBreakReleases, &kExtendedReleases}) {
        for (const NamedCode& code : *codes)
            texts.emplace_back(code.name);
    }
    texts.emplace_back("e0 f0 27");
    for (const NamedCode& code : kLedCommands)
        texts.emplace_back(code.name);
    return texts;
}

int32_t CellList::RenderLevel(const KeypadDocument& document, int keyIndex, Level level) {
    FreeCells();
    if (keyIndex < 0 || keyIndex >= kKeyCount)
        return 0;
    const std::span<const uint8_t> array = document.keys[keyIndex].codes(level);
    const LevelBytes bytes(array);
    if (bytes[0] == 0)
        return 0;

    // At most one cell per byte plus the end cell: no reallocation while rendering.
    m_cells.reserve(MacroLength(array) + 1);

    ModifierState state = 0;
    std::size_t p = 0;
    for (;;) {
        const uint8_t b = bytes[p];
        if (b == 0)
            break;
        const uint8_t c = bytes[p + 1];
        const uint8_t d = bytes[p + 2];

        MacroCell& cell = m_cells.emplace_back();
        int k = 1;

        // A code cut short by the terminator (a hand-made file, or a paste the room cut off) is
        // shown as the bytes that are there; nothing after the 0 belongs to the macro.
        const int required = RequiredBytes(b, c);
        int present = 1;
        while (present < required && bytes[p + static_cast<std::size_t>(present)] != 0)
            ++present;
        if (present < required) {
            k = present;
            for (int i = 0; i < k; ++i) {
                if (i > 0)
                    cell.codeText += ' ';
                AppendHexByte(cell.codeText, bytes[p + i]);
            }
        } else if (b == kDevicePrefix) {
            k = 2;
            if (c == kDelayCommand) {
                cell.name = "Dly ";
                AppendDecimal(cell.name, unsigned{d} * 4);
                cell.name += "ms";
                cell.codeText = "e2 01 ";
                AppendHexByte(cell.codeText, d);
                k = 3;
            } else if (const NamedCode* led = Find(kLedCommands, c)) {
                cell.name = led->name;
                cell.codeText = "e2 ";
                AppendHexByte(cell.codeText, c);
            }
            // Any other device command is kept and shown as an empty cell.
        } else if (b == kBreakPrefix) {
            if (const NamedCode* release = Find(kBreakReleases, c)) {
                cell.name = release->name;
                cell.codeText = "f0 ";
                AppendHexByte(cell.codeText, c);
                state &= ~release->bit;
                k = 2;
            } else {
                cell.name = "Break";
                cell.codeText = "f0";
            }
        } else if (b == kExtendedPrefix) {
            const NamedCode* release = c == kBreakPrefix ? Find(kExtendedReleases, d) : nullptr;
            const KeyCodeEntry& entry = ExtendedEntry(c);
            if (release) {
                cell.name = release->name;
                cell.codeText = "e0 f0 ";
                AppendHexByte(cell.codeText, d);
                state &= ~release->bit;
                k = 3;
            } else if (c != kBreakPrefix && entry.width == 2) {
                cell.name = entry.name;
                cell.codeText = entry.codeText;
                if (const NamedCode* press = Find(kExtendedPresses, c))
                    state |= press->bit;
                k = 2;
            } else {
                // The prefix on its own; the byte after it becomes a cell of its own.
                cell.name = "Ext";
                cell.codeText = "e0";
            }
        } else if (b >= kFirstMouseMove && b <= kLastMouseMove) {
            const KeyCodeEntry& entry = SingleByteEntry(b);
            cell.name = entry.name;
            cell.name += ' ';
            AppendDecimal(cell.name, c);
            cell.codeText = entry.codeText;
            cell.codeText += ' ';
            AppendHexByte(cell.codeText, c);
            k = 2;
        } else {
            const KeyCodeEntry& entry = SingleByteEntry(b);
            if (entry.width == 0) {
                // An unassigned code ends the rendering: the cells so far stay and the current
                // one becomes the end cell.
                return 0;
            }
            cell.name = UseShiftedName(entry.codeClass, state) ? entry.shiftedName : entry.name;
            cell.codeText = entry.codeText;
            if (const NamedCode* press = Find(kSinglePresses, b))
                state |= press->bit;
            if (b == kCapsLockCode)
                state ^= kCapsLock;
        }

        cell.byteCount = k;
        cell.modifierState = state;
        p += static_cast<std::size_t>(k);
        ++m_cellCount;
    }
    m_cells.emplace_back();
    return static_cast<int32_t>(p);
}

std::string HeldModifierNames(ModifierState state) {
    static constexpr std::pair<ModifierBit, std::string_view> kNames[] = {
        {kLeftCtrl, "Left Ctrl"},   {kLeftShift, "Left Shift"},   {kLeftAlt, "Left Alt"},   {kLeftWin, "Left Win"},
        {kRightCtrl, "Right Ctrl"}, {kRightShift, "Right Shift"}, {kRightAlt, "Right Alt"}, {kRightWin, "Right Win"},
    };
    std::string names;
    for (const auto& [bit, name] : kNames) {
        if ((state & bit) == 0)
            continue;
        if (!names.empty())
            names += ", ";
        names += name;
    }
    return names;
}

void CellList::FreeCells() {
    // clear() keeps the capacity, so the rendering after every edit allocates nothing new.
    m_cells.clear();
    m_cellCount = 0;
}

int32_t CellList::BytesBeforeCell(int n) const {
    int32_t sum = 0;
    const std::size_t count = n > 0 ? std::min(static_cast<std::size_t>(n), m_cells.size()) : 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += m_cells[i].byteCount;
    return sum;
}

ModifierState CellList::ModifiersAtCell(int n) const {
    ModifierState result = 0;
    if (m_cells.empty() || n < 0)
        return result;
    const std::size_t last = std::min(static_cast<std::size_t>(n), m_cells.size() - 1);
    for (std::size_t i = 0; i <= last && m_cells[i].byteCount != 0; ++i)
        result = m_cells[i].modifierState;
    return result;
}

int32_t CellList::CountCells(Level level) const {
    if (m_cells.empty())
        return 0;
    const std::size_t limit = level == Level::One ? kLevel1ArraySize - 1 : kLevel2ArraySize - 1;
    return static_cast<int32_t>(std::min(m_cells.size() - 1, limit));
}

} // namespace keyloom
