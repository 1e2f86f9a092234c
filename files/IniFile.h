#pragma once

#include "files/TextEncoding.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keyloom {

// An INI file in memory with the rules of the Windows private-profile functions:
// - names of sections and keys match without regard to (ASCII) case; the first matching section
//   and, within it, the first matching key count;
// - a value is the text after the first '=' with blanks (spaces, tabs) trimmed, a matching pair of
//   enclosing double or single quotes removed, and cut at 2047 characters;
// - integers are decimal with an optional sign, or hexadecimal after 0x, 0X or $; anything else
//   gives the default;
// - writing replaces the first matching key in place (keeping the file's spelling of the key
//   name; a line that already holds the value is left alone), appends a missing key after the
//   last key of its section and a missing section at the end of the file; every other line keeps
//   its exact bytes; new lines end with CR LF (a replaced line keeps its own line end). The one
//   exception: a change to a Windows-1252 file turns the whole file into UTF-8 (only lines beyond
//   ASCII change their bytes), so that it reads back as written;
// - a section header is a line starting with '[' that has a ']' after it; a key line has an '=';
//   other lines mean nothing and stay as they are. Names and values lose surrounding blanks.
// Reads are answered from memory; Save writes the whole file once, atomically.
class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    IniFile() = default;
    // Parses bytes in any of the supported encodings (see TextEncoding). The lines of the file
    // are views of the bytes, which the IniFile keeps: moved in, they are not copied.
    static IniFile FromBytes(std::string bytes);
    // A missing file gives an empty IniFile; an unreadable one throws FileError.
    static IniFile Load(const std::filesystem::path& path);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int32_t ReadInteger(std::string_view section, std::string_view key,
                        int32_t defaultValue) const;
    // Names of the sections, in file order, as the file spells them (duplicates included); compare
    // them with IniNamesEqual.
    std::vector<std::string> SectionNames() const;
    // Names of the keys of the first matching section, in file order.
    std::vector<std::string> KeyNames(std::string_view section) const;

    // Line breaks in value are written as blanks so that a value can never add lines.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);

    // The file's bytes as they stand now (byte order mark included).
    std::string ToBytes() const;
    // True once a write changed the text.
    bool changed() const { return m_changed; }

    // Writes ToBytes() to path atomically (throws FileError "Unable to write to %s"). When nothing
    // changed and path already exists, the file is left as it is.
    void Save(const std::filesystem::path& path) const;

private:
    // A line read from the file views the file's bytes (or their decoding); a line written anew
    // views the storage it holds. A large file is then held once, not once more per line.
    struct Line {
        std::string_view text;   // decoded, UTF-8, without the line end
        // The line's original bytes with its line end; empty for new lines and for lines whose
        // bytes are their text (a UTF-8 file's).
        std::string_view raw;
        std::string_view ending; // "\r\n", "\n", "\r" or "" (last line without one)
        std::shared_ptr<const std::string> storage;
    };
    // A new line of text ending in CR LF.
    static Line NewLine(std::string text);

    std::optional<std::size_t> FindSection(std::string_view section) const;
    // The line of the key in the section whose header is at sectionLine, added keys included.
    const Line* FindKey(std::size_t sectionLine, std::string_view key) const;
    Line* FindKey(std::size_t sectionLine, std::string_view key);
    // The key lines of the section whose header is at sectionLine, with the keys' names.
    std::vector<std::pair<std::size_t, std::string_view>> KeyLines(std::size_t sectionLine) const;

    // The header lines of all sections, in file order: lookups visit these instead of every line.
    void IndexSections();

    void ReplaceLine(Line& line, std::string text);
    // Only at the end while keys wait to be added.
    void InsertLine(std::size_t index, std::string text);
    // Adds the waiting keys to the lines, in one pass.
    void Settle();
    // Visits the lines in file order, the waiting keys in their places.
    template <typename Self, typename Visit> static void ForEachLine(Self& self, Visit visit);
    // Before a Windows-1252 file changes: it becomes UTF-8 as a whole. A file that mixed the two
    // would read back garbled, and one whose last byte invalid as UTF-8 was overwritten would
    // read back as UTF-8 anyway.
    void LeaveWindows1252();

    std::vector<Line> m_lines;
    // The file as read, and its decoding when that is not the bytes themselves; never changed,
    // shared by copies.
    std::shared_ptr<const std::string> m_bytes;
    std::shared_ptr<const std::string> m_decoded;
    // Keys added to a section that is not the last wait here, by the line of their section's
    // header, until the lines are needed in order (ToBytes) or change shape: inserting each at
    // once would move every line after it, and adding the keys of many sections before a long
    // tail would take keys x tail.
    struct WaitingKeys {
        std::size_t before; // they go before this line: after the section's last key
        std::vector<Line> lines;
    };
    std::map<std::size_t, WaitingKeys> m_waiting;
    struct SectionHeader {
        std::size_t line;
        std::string name; // trimmed, as the file spells it
    };
    std::vector<SectionHeader> m_sections;
    // The position in m_sections of the last section found: the writer and the readers ask for
    // the same section many times in a row.
    mutable std::size_t m_lastSection = 0;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_changed = false;
};

// An integer by the rules above; nullopt for anything else.
std::optional<int32_t> ParseIniInteger(std::string_view text);

// Whether two section or key names are the same name to the INI rules (ASCII case ignored).
bool IniNamesEqual(std::string_view a, std::string_view b);

} // namespace keyloom
