// Compares IniFile with Windows' own private-profile functions, case by case: what each reads
// from the same file, and what each makes of the same writes. Every case either agrees or says
// how Windows differs and why ours does what it does; running the program lists the differences.

#include "files/IniFile.h"
#include "platform/win32/WideText.h"

#include "support/TemporaryFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

struct Write {
    std::string section;
    std::string key;
    std::string value;
};

struct Read {
    std::string section;
    std::string key;
    std::string defaultValue = "<default>";
};

struct AgreementCase {
    const char* name;
    std::optional<std::string> initial; // nullopt: there is no file to begin with
    std::vector<Write> writes;
    std::vector<Read> reads;
    // Empty when Windows and ours must agree; otherwise how Windows differs and why ours doesn't.
    std::string windowsDiffers;
};

// Bytes as a quoted C-like string; a run of one character is shortened to <count x c> so that
// long values stay readable.
std::string Show(std::string_view bytes) {
    constexpr std::size_t kShortestRun = 8;
    std::string shown = "\"";
    const auto escaped = [](unsigned char c) -> std::string {
        switch (c) {
        case '\r': return "\\r";
        case '\n': return "\\n";
        case '\t': return "\\t";
        case '\0': return "\\0";
        case '"': return "\\\"";
        case '\\': return "\\\\";
        }
        if (c < 0x20 || c >= 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            return {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
        }
        return std::string(1, static_cast<char>(c));
    };
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t run = 1;
        while (i + run < bytes.size() && bytes[i + run] == bytes[i])
            ++run;
        const std::string one = escaped(static_cast<unsigned char>(bytes[i]));
        if (run >= kShortestRun) {
            shown += "<" + std::to_string(run) + " x " + one + ">";
        } else {
            for (std::size_t n = 0; n < run; ++n)
                shown += one;
        }
        i += run;
    }
    return shown + "\"";
}

std::string Name(const Read& read) { return "[" + read.section + "] " + read.key; }

// Large enough that Windows' whole value is seen, not only what a program's buffer would take.
constexpr DWORD kWindowsBufferLength = 8192;

std::string WindowsRead(const fs::path& file, const Read& read) {
    std::wstring buffer(kWindowsBufferLength, L'\0');
    const DWORD length = GetPrivateProfileStringW(
        Utf8ToWide(read.section).c_str(), Utf8ToWide(read.key).c_str(), Utf8ToWide(read.defaultValue).c_str(),
        buffer.data(), kWindowsBufferLength, file.c_str());
    buffer.resize(length);
    return WideToUtf8(buffer);
}

// The files' names are not ASCII, so that both sides are seen to take UTF-16 paths.
std::vector<std::string> Differences(const AgreementCase& c, const fs::path& folder) {
    std::vector<std::string> differences;

    const fs::path initial = folder / u8"initial-\u00FC.ini";
    if (c.initial)
        test::WriteFile(initial, *c.initial);
    const IniFile ours = IniFile::Load(initial);
    for (const Read& read : c.reads) {
        const std::string windows = WindowsRead(initial, read);
        const std::string ourValue = ours.ReadString(read.section, read.key, read.defaultValue);
        if (windows != ourValue)
            differences.push_back("read " + Name(read) + ": Windows " + Show(windows) + ", ours " +
                                  Show(ourValue));
    }
    if (c.writes.empty())
        return differences;

    const fs::path windowsFile = folder / u8"windows-\u00FC.ini";
    const fs::path ourFile = folder / u8"ours-\u00FC.ini";
    if (c.initial) {
        test::WriteFile(windowsFile, *c.initial);
        test::WriteFile(ourFile, *c.initial);
    }
    for (const Write& write : c.writes) {
        if (!WritePrivateProfileStringW(Utf8ToWide(write.section).c_str(), Utf8ToWide(write.key).c_str(),
                                        Utf8ToWide(write.value).c_str(), windowsFile.c_str()))
            differences.push_back("Windows refused to write " + Name({write.section, write.key}));
    }
    // Windows may hold the file in memory until told to flush it.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, windowsFile.c_str());
    IniFile written = IniFile::Load(ourFile);
    for (const Write& write : c.writes)
        written.WriteString(write.section, write.key, write.value);
    written.Save(ourFile);

    // Each written key and each read of the case, once, read by Windows from both files.
    std::vector<Read> readBack;
    for (const Write& write : c.writes)
        readBack.push_back({write.section, write.key});
    readBack.insert(readBack.end(), c.reads.begin(), c.reads.end());
    for (std::size_t i = 0; i < readBack.size(); ++i) {
        const Read& read = readBack[i];
        const auto same = [&](const Read& earlier) {
            return earlier.section == read.section && earlier.key == read.key &&
                   earlier.defaultValue == read.defaultValue;
        };
        if (std::any_of(readBack.begin(), readBack.begin() + static_cast<std::ptrdiff_t>(i), same))
            continue;
        const std::string fromWindows = WindowsRead(windowsFile, read);
        const std::string fromOurs = WindowsRead(ourFile, read);
        if (fromWindows != fromOurs)
            differences.push_back("after the writes Windows reads " + Name(read) + " as " +
                                  Show(fromWindows) + " from its file, " + Show(fromOurs) +
                                  " from ours");
    }

    const std::string windowsBytes = test::ReadFile(windowsFile);
    const std::string ourBytes = test::ReadFile(ourFile);
    if (windowsBytes != ourBytes)
        differences.push_back("file after the writes: Windows " + Show(windowsBytes) + ", ours " +
                              Show(ourBytes));
    return differences;
}

std::vector<AgreementCase> Cases() {
    using namespace std::string_literals;
    const std::string utf8Bom = "\xEF\xBB\xBF";
    const std::string umlauts = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // Grüße €
    return {
        {"CaseInsensitiveNames",
         "[Global]\r\nModel=VK48\r\nKeys=24\r\n",
         {{"gLoBaL", "KEYS", "48"}},
         {{"GLOBAL", "model"}, {"global", "MODEL"}, {"Global", "Absent"}, {"Other", "Model"}},
         ""},
        {"FirstOfDuplicateSectionsAndKeysCounts",
         "[A]\r\nx=1\r\nX=2\r\n[a]\r\nx=3\r\ny=4\r\n",
         {{"A", "x", "9"}, {"a", "Y", "5"}},
         {{"A", "x"}, {"a", "y"}},
         ""},
        {"BlanksAndTabsAroundNamesAndValues",
         " \t[ S ] \t\r\n  K \t=  a b \t\r\nL=\tc\r\nQ= \"x\" \r\n",
         {{"S", "L", "d"}},
         {{"S", "K"}, {" S ", " K "}, {"S", "L"}, {"S", "Q"}},
         "Windows writes every line of the file anew without the blanks around names and values; "
         "ours keeps the lines it does not change byte for byte, so a file made by hand keeps its "
         "layout."},
        {"WrittenValueWithBlanks",
         std::nullopt,
         {{"S", "K", "  padded  "}, {"S", "T", "\tx"}},
         {},
         "Windows drops the blanks around a written value; ours writes the value as given, which "
         "reads back the same because reading trims them."},
        {"Quotes",
         "[S]\r\nD=\" padded \"\r\nQ='x'\r\nU=\"x'\r\nO=\"x\r\nC=x\"\r\nL=\"\r\nI=a \"b\" c\r\n"
         "E=\"\"\r\n",
         {{"S", "W", "\"quoted\""}, {"S", "V", "'single'"}},
         {{"S", "D"}, {"S", "Q"}, {"S", "U"}, {"S", "O"}, {"S", "C"}, {"S", "L"}, {"S", "I"},
          {"S", "E"}},
         ""},
        {"LongValues",
         "[S]\r\nA=" + std::string(2047, 'a') + "\r\nB=" + std::string(2048, 'b') + "\r\nC=" +
             std::string(3000, 'c') + "\r\n",
         {{"S", "D", std::string(3000, 'd')}},
         {{"S", "A"}, {"S", "B"}, {"S", "C"}},
         "Windows returns the whole value; ours cuts at 2047 characters as the program reads with "
         "a 2048-character buffer."},
        {"AppendedKeyEndsItsSection",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n",
         {{"A", "z", "3"}, {"B", "w", "4"}},
         {},
         ""},
        {"AppendedKeyBeforeACommentLine",
         "[A]\r\nx=1\r\n; about B\r\n[B]\r\ny=2\r\n",
         {{"A", "z", "3"}},
         {{"A", "; about B"}},
         "To Windows the comment line is a key without a value, so the new key goes after it; ours "
         "appends after the section's last key, so a comment stays with the section it stands "
         "before."},
        {"BlankLineBetweenSections",
         "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n",
         {{"B", "y", "3"}},
         {},
         "Windows drops blank lines when it writes the file; ours keeps every line it does not "
         "change."},
        {"AppendedKeyInASectionWithoutKeys",
         "[A]\r\n[B]\r\ny=2\r\n",
         {{"A", "z", "3"}},
         {},
         ""},
        {"AppendedSection",
         "[A]\r\nx=1\r\n",
         {{"B", "y", "2"}, {"b", "Z", "3"}},
         {},
         ""},
        {"AppendedAfterALastLineWithoutLineEnd",
         "[A]\r\nx=1",
         {{"A", "y", "2"}, {"B", "z", "3"}},
         {{"A", "x"}},
         ""},
        {"MissingFileIsCreated",
         std::nullopt,
         {{"App1", "key1", "string1"}, {"App1", "key2", "string2"}, {"App2", "key3", "string3"},
          {"app1", "KEY2", "changed"}},
         {{"App1", "key1"}},
         ""},
        {"LfLineEnds",
         "[A]\nx=1\n[B]\ny=2\n",
         {{"A", "x", "9"}},
         {{"A", "x"}, {"B", "y"}},
         "Windows writes the whole file anew with CR LF; ours keeps the untouched lines and the "
         "replaced line's own line end, so only the changed value differs."},
        {"CrLineEnds",
         "[A]\rx=1\r[B]\ry=2\r",
         {},
         {{"A", "x"}, {"B", "y"}},
         ""},
        {"KeysBeforeTheFirstSection",
         "x=1\r\n[A]\r\ny=2\r\n",
         {{"A", "x", "3"}},
         {{"", "x"}, {"A", "x"}},
         "Windows reads keys before the first header as a section with an empty name; ours counts "
         "them in no section, as only a header starts one."},
        {"LinesWithoutEqualsSign",
         "[S]\r\nK\r\njunk line\r\nL=1\r\n",
         {{"S", "K", "v"}},
         {{"S", "K"}, {"S", "junk line"}, {"S", "L"}},
         "Windows takes a line without '=' for a key without a value (read as the default) and a "
         "write fills it in; ours takes only a line with '=' for a key, so it keeps the bare line "
         "and appends the key, which Windows then does not see behind the bare line."},
        {"CommentLookingLines",
         "[S]\r\n;K=1\r\n#K=2\r\nK=3\r\n",
         {{"S", "K", "4"}},
         {{"S", "K"}, {"S", ";K"}, {"S", "#K"}},
         ""},
        {"SectionHeaderWithTextAfterTheBracket",
         "[S] ; note\r\nK=1\r\n[T]x\r\nL=2\r\n",
         {{"S", "K", "5"}},
         {{"S", "K"}, {"T", "L"}},
         "Windows writes the headers anew without the text after ']'; ours keeps the lines it does "
         "not change byte for byte."},
        {"EmptyValue",
         "[S]\r\nK=\r\nM=1\r\n",
         {{"S", "E", ""}, {"S", "M", ""}},
         {{"S", "K"}},
         ""},
        {"EqualsSignInsideTheValue",
         "[S]\r\nK=a=b\r\n",
         {{"S", "M", "x=y"}},
         {{"S", "K"}},
         ""},
        {"RewritingTheSameValueChangesNothing",
         "[S]\r\n  K = 1 \r\n",
         {{"S", "K", "1"}},
         {},
         ""},
        {"NonAsciiText",
         std::nullopt,
         {{"S", "K", umlauts}, {"S\xC3\xBC", "K\xC3\xBC", "\xC3\xBC"}},
         {},
         "Windows writes a new file in the ANSI code page and reads a file without byte order mark "
         "as ANSI, so it garbles ours; ours writes UTF-8, so every character survives whatever the "
         "code page and reads back as written."},
        {"NonAsciiTextInAUtf8FileWithByteOrderMark",
         utf8Bom + "[S]\r\nK=" + umlauts + "\r\n",
         {{"S", "L", "\xE2\x82\xAC"}},
         {{"S", "K"}},
         ""},
        {"NonAsciiTextInAUtf16File",
         "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xFC\0\r\0\n\0"s,
         {{"S", "L", "\xE2\x82\xAC"}},
         {{"S", "K"}},
         ""},
        {"LineBreakInAValue",
         std::nullopt,
         {{"S", "K", "two\r\nlines"}},
         {{"S", "lines"}},
         "Windows writes the line break into the file, so the value ends there and its rest "
         "becomes a line of its own; ours writes line breaks as blanks, so a value can never add "
         "lines."},
    };
}

// Names the case in gtest's messages instead of dumping its bytes.
void PrintTo(const AgreementCase& c, std::ostream* out) { *out << c.name; }

class IniAgreementTest : public testing::TestWithParam<AgreementCase> {};

TEST_P(IniAgreementTest, DiffersFromWindowsOnlyWhereNoted) {
    const AgreementCase& c = GetParam();
    test::TemporaryFolder folder;
    const std::vector<std::string> differences = Differences(c, folder.path());

    if (!differences.empty() || !c.windowsDiffers.empty()) {
        std::cout << c.name << ": "
                  << (c.windowsDiffers.empty() ? "(no note)" : c.windowsDiffers) << "\n";
        for (const std::string& difference : differences)
            std::cout << "    " << difference << "\n";
    }
    if (c.windowsDiffers.empty())
        EXPECT_TRUE(differences.empty()) << "Windows was expected to agree";
    else
        EXPECT_FALSE(differences.empty()) << "Windows agrees, the note is out of date";
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniAgreementTest, testing::ValuesIn(Cases()),
    [](const testing::TestParamInfo<AgreementCase>& info) { return info.param.name; });

} // namespace
} // namespace keyloom
