// How the editor finds the files shipped with it - Examples/, Location.ini and the manual - in a
// build folder (everything beside the programs) and in an installed tree (<prefix>/bin and
// <prefix>/share/...).

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

constexpr const char* kManual = "KeyloomVKxx.pdf";

class TemporaryTree {
public:
    TemporaryTree() {
        std::string pattern = (fs::temp_directory_path() / "keyloom-shipped-XXXXXX").string();
        root = mkdtemp(pattern.data());
    }
    ~TemporaryTree() {
        std::error_code error;
        fs::remove_all(root, error);
    }
    void add(const std::string& relative) const {
        const fs::path file = root / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    fs::path root;
};

struct Layout {
    const char* name;
    std::vector<std::string> files; // relative to the tree's root
    const char* program;            // the program's folder
    const char* data;               // where Examples/ is expected to be found
    const char* manual;             // where the manual is expected to be found
};

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

class ShippedFiles : public testing::TestWithParam<Layout> {};

TEST_P(ShippedFiles, AreFoundWhereTheLayoutPutsThem) {
    const Layout& layout = GetParam();
    const TemporaryTree tree;
    fs::create_directories(tree.root / layout.program);
    for (const std::string& file : layout.files)
        tree.add(file);
    test::FakePlatform platform;
    platform.program = tree.root / layout.program;

    EXPECT_EQ(platform.dataFolder().lexically_normal(), (tree.root / layout.data).lexically_normal());
    EXPECT_EQ(platform.shippedDocument(kManual).lexically_normal(),
              (tree.root / layout.manual).lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ShippedFiles,
    testing::Values(
        Layout{"BuildFolder",
               {"bin/Examples/Macro_Files/DefaultVK24.ckd", "bin/KeyloomVKxx.pdf"},
               "bin", "bin", "bin/KeyloomVKxx.pdf"},
        Layout{"Installed",
               {"usr/share/keyloomvkxx/Examples/Macro_Files/DefaultVK24.ckd",
                "usr/share/doc/keyloomvkxx/KeyloomVKxx.pdf"},
               "usr/bin", "usr/share/keyloomvkxx", "usr/share/doc/keyloomvkxx/KeyloomVKxx.pdf"},
        // A manual placed beside an installed program wins over the installed one.
        Layout{"ManualBesideInstalledProgram",
               {"usr/share/keyloomvkxx/Examples/Macro_Files/DefaultVK24.ckd",
                "usr/share/doc/keyloomvkxx/KeyloomVKxx.pdf", "usr/bin/KeyloomVKxx.pdf"},
               "usr/bin", "usr/share/keyloomvkxx", "usr/bin/KeyloomVKxx.pdf"},
        Layout{"ManualInDataFolder",
               {"opt/share/keyloomvkxx/KeyloomVKxx.pdf"},
               "opt/bin", "opt/share/keyloomvkxx", "opt/share/keyloomvkxx/KeyloomVKxx.pdf"},
        // Nothing shipped: the program folder, so the samples are skipped and Help warns that
        // the manual beside the program is missing.
        Layout{"NothingShipped", {}, "bin", "bin", "bin/KeyloomVKxx.pdf"}),
    [](const testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

} // namespace
} // namespace keyloom
