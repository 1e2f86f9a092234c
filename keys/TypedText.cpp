#include "keys/TypedText.h"

#include "keys/TagCodeTable.h"
#include "keys/TypingMaps.h"

#include <array>
#include <optional>
#include <span>

namespace keyloom {

namespace {

constexpr int kTagTab = 15;
constexpr int kTagEnter = 28;
constexpr int kTagLeftShift = 42;

constexpr std::u32string_view kShiftedSymbols = U"~!@#$%^&*()_+{}|:\"<>?";

struct Stroke {
    int tag;
    bool shifted;
};

std::optional<Stroke> StrokeOf(char32_t character) {
    if (character == U'\n')
        return Stroke{kTagEnter, false};
    if (character == U'\t')
        return Stroke{kTagTab, false};
    // The map takes characters modulo 128; anything beyond ASCII is not on the keyboard at all.
    if (character >= kCharacterMapSize)
        return std::nullopt;
    const int tag = CharacterTag(static_cast<int>(character));
    if (tag == 0)
        return std::nullopt;
    const bool shifted =
        (character >= U'A' && character <= U'Z') || kShiftedSymbols.find(character) != std::u32string_view::npos;
    return Stroke{tag, shifted};
}

void Append(TypedText& typed, std::span<const uint8_t> code) {
    typed.codes.insert(typed.codes.end(), code.begin(), code.end());
    typed.codeEnds.push_back(typed.codes.size());
}

std::size_t MacroLengthOf(std::span<const uint8_t> codes) {
    std::size_t length = 0;
    while (length < codes.size() && codes[length] != 0)
        ++length;
    return length;
}

} // namespace

TypedText TypeText(std::u32string_view text) {
    TypedText typed;
    const std::array<uint8_t, 4> shiftRelease = ModifierReleaseCodes(kTagLeftShift);
    const std::span<const uint8_t> shiftUp(shiftRelease.data(), MacroLengthOf(shiftRelease));
    bool shiftDown = false;
    for (std::size_t position = 0; position < text.size(); ++position) {
        const std::optional<Stroke> stroke = StrokeOf(text[position]);
        if (!stroke) {
            typed.untypable.push_back({position, text[position]});
            continue;
        }
        if (stroke->shifted != shiftDown) {
            Append(typed, stroke->shifted ? TagCodes(kTagLeftShift) : shiftUp);
            shiftDown = stroke->shifted;
        }
        Append(typed, TagCodes(stroke->tag));
    }
    if (shiftDown)
        Append(typed, shiftUp);
    return typed;
}

} // namespace keyloom
