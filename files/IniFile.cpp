#include "files/IniFile.h"

#include "files/AtomicFile.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <system_error>
#include <utility>

namespace keyloom {

namespace {

constexpr std::string_view kNewLine = "\r\n";

bool IsBlank(char character) { return character == ' ' || character == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char character) {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                 : character;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

// What one line of the file means. A line that starts with '[' and has a ']' after it is a
// section header (the name runs to the last ']'); otherwise a line with '=' is a key; anything
// else (blank lines, text without '=') is kept but means nothing.
struct ParsedLine {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value; // trimmed, quotes still on
};

ParsedLine Parse(std::string_view text) {
    const std::string_view line = Trim(text);
    if (line.starts_with('[')) {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos && close > 0)
            return {ParsedLine::Kind::Section, Trim(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return {};
    return {ParsedLine::Kind::Key, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

// The first maxCharacters characters of valid UTF-8 text.
std::string_view CutAtCharacters(std::string_view text, std::size_t maxCharacters) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters)
            return text.substr(0, i);
    }
    return text;
}

// Text that can stand on one line of the file: valid UTF-8, line breaks turned into blanks. Most
// text already can, and is returned as it is; otherwise the mended text is kept in storage.
std::string_view OneLine(std::string_view text, std::string& storage) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
    });
    if (plain)
        return text;
    storage = DecodeText(text, TextEncoding::Utf8);
    for (char& character : storage) {
        if (character == '\r' || character == '\n')
            character = ' ';
    }
    return storage;
}

std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts)
        text += part;
    return text;
}

// The width of one code unit, in which line ends are found.
std::size_t UnitSize(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16LeBom ? 2 : 1;
}

struct LineSpan {
    std::size_t begin;
    std::size_t contentEnd;
    std::size_t end; // after the line end
};

// Lines end at CR LF, LF or a lone CR. unit is the width of a code unit: 2 for UTF-16, where
// only a whole unit 000D or 000A ends a line. visit(LineSpan) sees each line in turn.
template <typename Visit> void ForEachLineSpan(std::string_view data, std::size_t unit, Visit visit) {
    const auto unitIs = [&](std::size_t index, char character) {
        return index + unit <= data.size() && data[index] == character &&
               (unit == 1 || data[index + 1] == '\0');
    };
    std::size_t begin = 0;
    std::size_t index = 0;
    while (index < data.size()) {
        if (unitIs(index, '\r') || unitIs(index, '\n')) {
            std::size_t end = index + unit;
            if (unitIs(index, '\r') && unitIs(end, '\n'))
                end += unit;
            visit(LineSpan{begin, index, end});
            begin = index = end;
        } else {
            index += unit;
        }
    }
    if (begin < data.size())
        visit(LineSpan{begin, data.size(), data.size()});
}

std::vector<LineSpan> SplitLines(std::string_view data, std::size_t unit) {
    std::vector<LineSpan> lines;
    ForEachLineSpan(data, unit, [&lines](const LineSpan& line) { lines.push_back(line); });
    return lines;
}

} // namespace

IniFile IniFile::FromBytes(std::string bytes) {
    IniFile ini;
    ini.m_bytes = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view all = *ini.m_bytes;
    ini.m_encoding = DetectEncoding(all);
    const std::string_view body = all.substr(ByteOrderMark(ini.m_encoding).size());
    // Valid UTF-8 is its own decoding; the other encodings are decoded once.
    std::string_view text = body;
    if (ini.m_encoding != TextEncoding::Utf8) {
        ini.m_decoded = std::make_shared<const std::string>(DecodeText(all, ini.m_encoding));
        text = *ini.m_decoded;
    }
    // A line whose text is its bytes needs no view of them.
    const bool verbatim = text == body;

    const auto textOf = [text](const LineSpan& line) { return text.substr(line.begin, line.contentEnd - line.begin); };
    const auto endingOf = [text](const LineSpan& line) { return text.substr(line.contentEnd, line.end - line.contentEnd); };
    if (verbatim) {
        // Counted first, so that the lines are placed once, without a list of their places.
        std::size_t count = 0;
        ForEachLineSpan(text, 1, [&count](const LineSpan&) { ++count; });
        ini.m_lines.reserve(count);
        ForEachLineSpan(text, 1, [&](const LineSpan& line) {
            ini.m_lines.push_back({textOf(line), {}, endingOf(line), nullptr});
        });
    } else {
        // The decoders turn every CR and LF unit into the same character and never make one
        // out of anything else, so the raw lines and the decoded lines pair up one to one.
        const std::vector<LineSpan> textLines = SplitLines(text, 1);
        const std::vector<LineSpan> rawLines = SplitLines(body, UnitSize(ini.m_encoding));
        assert(rawLines.size() == textLines.size());
        ini.m_lines.reserve(textLines.size());
        for (std::size_t i = 0; i < textLines.size(); ++i) {
            const LineSpan& raw = rawLines[i];
            ini.m_lines.push_back({textOf(textLines[i]), body.substr(raw.begin, raw.end - raw.begin),
                                   endingOf(textLines[i]), nullptr});
        }
    }
    ini.IndexSections();
    return ini;
}

IniFile::Line IniFile::NewLine(std::string text) {
    auto storage = std::make_shared<const std::string>(std::move(text));
    return {*storage, {}, kNewLine, storage};
}

IniFile IniFile::Load(const std::filesystem::path& path) {
    RecoverInterruptedSave(path);
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return IniFile{};
    return FromBytes(std::move(bytes));
}

void IniFile::IndexSections() {
    m_sections.clear();
    m_lastSection = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const ParsedLine line = Parse(m_lines[i].text);
        if (line.kind == ParsedLine::Kind::Section)
            m_sections.push_back({i, std::string(line.name)});
    }
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    const std::string_view wanted = Trim(section);
    // Only a first match is remembered, and it is forgotten whenever a header is added or the
    // headers are indexed again, so it is still the first section of its name.
    if (m_lastSection < m_sections.size() && EqualsIgnoringCase(m_sections[m_lastSection].name, wanted))
        return m_sections[m_lastSection].line;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (EqualsIgnoringCase(m_sections[i].name, wanted)) {
            m_lastSection = i;
            return m_sections[i].line;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::size_t, std::string_view>>
IniFile::KeyLines(std::size_t sectionLine) const {
    std::vector<std::pair<std::size_t, std::string_view>> keys;
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        const ParsedLine line = Parse(m_lines[i].text);
        if (line.kind == ParsedLine::Kind::Section)
            break;
        if (line.kind == ParsedLine::Kind::Key)
            keys.emplace_back(i, line.name);
    }
    return keys;
}

const IniFile::Line* IniFile::FindKey(std::size_t sectionLine, std::string_view key) const {
    const std::string_view wanted = Trim(key);
    for (std::size_t i = sectionLine + 1; i < m_lines.size(); ++i) {
        const ParsedLine line = Parse(m_lines[i].text);
        if (line.kind == ParsedLine::Kind::Section)
            break;
        if (line.kind == ParsedLine::Kind::Key && EqualsIgnoringCase(line.name, wanted))
            return &m_lines[i];
    }
    if (const auto waiting = m_waiting.find(sectionLine); waiting != m_waiting.end()) {
        for (const Line& line : waiting->second.lines) {
            if (EqualsIgnoringCase(Parse(line.text).name, wanted))
                return &line;
        }
    }
    return nullptr;
}

IniFile::Line* IniFile::FindKey(std::size_t sectionLine, std::string_view key) {
    return const_cast<Line*>(std::as_const(*this).FindKey(sectionLine, key));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const std::optional<std::size_t> sectionLine = FindSection(section);
    const Line* keyLine = sectionLine ? FindKey(*sectionLine, key) : nullptr;
    if (keyLine == nullptr)
        return std::string(defaultValue);

    std::string_view value = Parse(keyLine->text).value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(CutAtCharacters(value, kMaxValueLength));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t defaultValue) const {
    return ParseIniInteger(ReadString(section, key, {})).value_or(defaultValue);
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : m_lines) {
        const ParsedLine parsed = Parse(line.text);
        if (parsed.kind == ParsedLine::Kind::Section)
            names.emplace_back(parsed.name);
    }
    return names;
}

std::vector<std::string> IniFile::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const std::optional<std::size_t> sectionLine = FindSection(section)) {
        for (const auto& [line, name] : KeyLines(*sectionLine))
            names.emplace_back(name);
        if (const auto waiting = m_waiting.find(*sectionLine); waiting != m_waiting.end()) {
            for (const Line& line : waiting->second.lines)
                names.emplace_back(Parse(line.text).name);
        }
    }
    return names;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string sectionStorage;
    std::string keyStorage;
    std::string valueStorage;
    const std::string_view sectionName = OneLine(section, sectionStorage);
    const std::string_view keyName = OneLine(key, keyStorage);
    const std::string_view newValue = OneLine(value, valueStorage);

    const std::optional<std::size_t> sectionLine = FindSection(sectionName);
    if (!sectionLine) {
        InsertLine(m_lines.size(), Concat({"[", sectionName, "]"}));
        InsertLine(m_lines.size(), Concat({keyName, "=", newValue}));
        return;
    }
    if (Line* keyLine = FindKey(*sectionLine, keyName)) {
        const ParsedLine current = Parse(keyLine->text);
        // A line that already reads as the new value keeps its bytes, so saving an unchanged
        // document leaves the file as it was.
        if (current.value != Trim(newValue))
            ReplaceLine(*keyLine, Concat({current.name, "=", newValue}));
        return;
    }

    std::string line = Concat({keyName, "=", newValue});
    const bool isKeyLine = Parse(line).kind == ParsedLine::Kind::Key;
    if (!isKeyLine && !m_waiting.empty()) {
        // A key name that reads as a section header changes the sections: the lines settle first.
        Settle();
        WriteString(section, key, value);
        return;
    }
    if (const auto waiting = m_waiting.find(*sectionLine); waiting != m_waiting.end()) {
        waiting->second.lines.push_back(NewLine(std::move(line)));
        m_changed = true;
        return;
    }
    // After the section's last key, so that blank lines and comments before the next section
    // stay with it.
    const auto keys = KeyLines(*sectionLine);
    const std::size_t at = (keys.empty() ? *sectionLine : keys.back().first) + 1;
    if (at < m_lines.size() && isKeyLine) {
        LeaveWindows1252();
        WaitingKeys& waiting = m_waiting[*sectionLine];
        waiting.before = at;
        waiting.lines.push_back(NewLine(std::move(line)));
        m_changed = true;
        return;
    }
    InsertLine(at, std::move(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::LeaveWindows1252() {
    if (m_encoding != TextEncoding::Windows1252)
        return;
    for (Line& line : m_lines)
        line.raw = {};
    m_encoding = TextEncoding::Utf8;
}

void IniFile::ReplaceLine(Line& line, std::string text) {
    LeaveWindows1252();
    const std::string_view ending = line.ending; // the line keeps its own line end
    line = NewLine(std::move(text));
    line.ending = ending;
    m_changed = true;
    // A key whose name starts with '[' can turn into a section header.
    if (Parse(line.text).kind == ParsedLine::Kind::Section) {
        Settle();
        IndexSections();
    }
}

void IniFile::InsertLine(std::size_t index, std::string text) {
    assert(m_waiting.empty() || index == m_lines.size());
    LeaveWindows1252();
    if (index > 0) {
        // Only the last line can lack a line end; it needs one before a line can follow it.
        Line& previous = m_lines[index - 1];
        if (previous.ending.empty()) {
            previous.ending = kNewLine;
            // A line kept as raw bytes needs the line end in them too; a stray last byte of
            // UTF-16 cannot take one, so that line is written anew from its text.
            if (previous.raw.size() % UnitSize(m_encoding) != 0) {
                previous.raw = {};
            } else if (!previous.raw.empty()) {
                auto storage = std::make_shared<const std::string>(std::string(previous.text) + std::string(previous.raw)
                                                                   + EncodeText(kNewLine, m_encoding));
                previous.text = std::string_view(*storage).substr(0, previous.text.size());
                previous.raw = std::string_view(*storage).substr(previous.text.size());
                previous.storage = std::move(storage);
            }
        }
    }
    const ParsedLine parsed = Parse(text);
    std::optional<SectionHeader> header;
    if (parsed.kind == ParsedLine::Kind::Section)
        header = SectionHeader{index, std::string(parsed.name)};
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), NewLine(std::move(text)));
    m_changed = true;
    auto later = std::find_if(m_sections.begin(), m_sections.end(),
                              [&](const SectionHeader& section) { return section.line >= index; });
    for (auto shifted = later; shifted != m_sections.end(); ++shifted)
        ++shifted->line;
    if (header) {
        m_sections.insert(later, std::move(*header));
        m_lastSection = 0;
    }
}

template <typename Self, typename Visit> void IniFile::ForEachLine(Self& self, Visit visit) {
    // m_waiting is ordered by section, and so by where its keys go.
    std::size_t next = 0;
    for (auto& [section, waiting] : self.m_waiting) {
        for (; next < waiting.before; ++next)
            visit(self.m_lines[next]);
        for (auto& line : waiting.lines)
            visit(line);
    }
    for (; next < self.m_lines.size(); ++next)
        visit(self.m_lines[next]);
}

void IniFile::Settle() {
    if (m_waiting.empty())
        return;
    std::size_t count = m_lines.size();
    for (const auto& [section, waiting] : m_waiting)
        count += waiting.lines.size();
    std::vector<Line> lines;
    lines.reserve(count);
    ForEachLine(*this, [&lines](Line& line) { lines.push_back(std::move(line)); });
    m_lines = std::move(lines);
    m_waiting.clear();
    IndexSections();
}

std::string IniFile::ToBytes() const {
    std::string bytes(ByteOrderMark(m_encoding));
    std::size_t size = bytes.size();
    ForEachLine(*this, [&size](const Line& line) {
        size += line.raw.empty() ? line.text.size() + line.ending.size() : line.raw.size();
    });
    bytes.reserve(size); // a guess for UTF-16, exact otherwise
    ForEachLine(*this, [&](const Line& line) {
        if (!line.raw.empty()) {
            bytes += line.raw;
        } else if (m_encoding == TextEncoding::Utf16LeBom) {
            bytes += EncodeText(std::string(line.text) + std::string(line.ending), m_encoding);
        } else {
            bytes += line.text;
            bytes += line.ending;
        }
    });
    return bytes;
}

void IniFile::Save(const std::filesystem::path& path) const {
    std::error_code error;
    if (!m_changed && std::filesystem::exists(path, error))
        return;
    WriteFileAtomically(path, ToBytes());
}

std::optional<int32_t> ParseIniInteger(std::string_view text) {
    int base = 10;
    bool negative = false;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // from_chars into an unsigned type takes digits only: no sign, no prefix, no blanks.
    uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, magnitude, base);
    if (text.empty() || error != std::errc{} || stop != end)
        return std::nullopt;

    if (base == 16) {
        // Eight hex digits fill all 32 bits: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFu)
            return std::nullopt;
        return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    }
    if (magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu))
        return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
}

bool IniNamesEqual(std::string_view a, std::string_view b) { return EqualsIgnoringCase(a, b); }

} // namespace keyloom
