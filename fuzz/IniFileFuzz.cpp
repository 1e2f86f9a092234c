// Feeds arbitrary bytes to the INI engine as a file, makes one write into it, and checks the
// engine against its own promises:
// - bytes that nothing was written into come back unchanged;
// - a written value reads back by the rules (line breaks as blanks, blanks trimmed, a pair of
//   quotes removed), from memory and after the file's bytes were parsed again;
// - the write changes no other value, in memory or in the bytes;
// - an integer that was read writes back as the same integer.
#include "files/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace keyloom;

namespace {

#define CHECK(condition)                                                                   \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "check failed: %s\n", #condition);                        \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// What reading gives for a value that was written, by the rules in IniFile.h.
std::string ReadsAs(std::string_view written) {
    std::string value = DecodeText(written, TextEncoding::Utf8);
    for (char& c : value) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!value.empty() && blank(value.back()))
        value.pop_back();
    std::size_t first = 0;
    while (first < value.size() && blank(value[first]))
        ++first;
    value.erase(0, first);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value; // shorter than the 2047 characters at which reading cuts
}

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

constexpr std::size_t kMaxEntries = 64;

std::vector<Entry> Snapshot(const IniFile& ini) {
    std::vector<Entry> entries;
    for (const std::string& section : ini.SectionNames()) {
        for (const std::string& key : ini.KeyNames(section)) {
            if (entries.size() == kMaxEntries)
                return entries;
            entries.push_back({section, key, ini.ReadString(section, key, "\x01missing")});
        }
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto pick = provider.ConsumeIntegral<uint16_t>();
    const std::string value = provider.ConsumeRandomLengthString(64);
    const std::string file = provider.ConsumeRemainingBytesAsString();

    IniFile ini = IniFile::FromBytes(file);
    CHECK(ini.ToBytes() == file);
    CHECK(!ini.changed());

    const std::vector<Entry> before = Snapshot(ini);
    for (const Entry& entry : before) {
        if (const std::optional<int32_t> number = ParseIniInteger(entry.value))
            CHECK(ParseIniInteger(std::to_string(*number)) == number);
    }

    // Write into a key the file has, a key its section lacks, or a section it lacks.
    std::string section = "Fuzz";
    std::string key = "Key";
    const std::vector<std::string> sections = ini.SectionNames();
    if (!sections.empty() && (pick & 1) != 0) {
        section = sections[(pick >> 2) % sections.size()];
        const std::vector<std::string> keys = ini.KeyNames(section);
        if (!keys.empty() && (pick & 2) != 0)
            key = keys[(pick >> 8) % keys.size()];
    }
    // A key whose name starts with '[' turns into a section header when its new value holds a
    // ']'; the rules have no answer for such a file.
    if (key.starts_with('['))
        return 0;

    ini.WriteString(section, key, value);
    const std::string expected = ReadsAs(value);
    CHECK(ini.ReadString(section, key, "\x01missing") == expected);

    const IniFile reread = IniFile::FromBytes(ini.ToBytes());
    CHECK(reread.ToBytes() == ini.ToBytes());
    CHECK(reread.ReadString(section, key, "\x01missing") == expected);

    for (const Entry& entry : before) {
        if (SameName(entry.section, section) && SameName(entry.key, key))
            continue;
        CHECK(ini.ReadString(entry.section, entry.key, "\x01missing") == entry.value);
        CHECK(reread.ReadString(entry.section, entry.key, "\x01missing") == entry.value);
    }
    return 0;
}
