// The Windows programs carry their icon and version information, read back the way Explorer
// reads them.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A string of the program's version information, from its US English Unicode block.
std::wstring VersionString(const std::wstring& program, const wchar_t* name) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    if (size == 0)
        return L"(no version information)";
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(program.c_str(), 0, size, data.data()))
        return L"(unreadable version information)";
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0)
        return L"(no value)";
    return static_cast<const wchar_t*>(value);
}

class ProgramResources : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgramResources, HoldTheIconAndTheVersion) {
    const std::string narrow = GetParam();
    const std::wstring program(narrow.begin(), narrow.end());
    EXPECT_GE(ExtractIconExW(program.c_str(), -1, nullptr, nullptr, 0), 1u);
    EXPECT_EQ(VersionString(program, L"FileVersion"), L"1.60");
    EXPECT_EQ(VersionString(program, L"ProductName"), L"KeyloomVKxx");
    EXPECT_EQ(VersionString(program, L"CompanyName"), L"Quorvane");
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramResources, ::testing::Values(KEYLOOM_EDITOR_PROGRAM, KEYLOOM_KEYTEST_PROGRAM));

} // namespace
