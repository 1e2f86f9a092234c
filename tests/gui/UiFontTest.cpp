#include "gui/UiFont.h"

#include <gtest/gtest.h>

namespace keyloom {
namespace {

TEST(UiFont, TakesTheFirstAvailableSansSerifFace) {
    const struct {
        const char* name;
        QStringList families;
        QString expected;
    } cases[] = {
        // What Wine without Windows' fonts offers: its first family is a serif math face.
        {"Wine", {"DejaVu Math TeX Gyre", "DejaVu Sans", "DejaVu Serif", "MS Shell Dlg"}, "DejaVu Sans"},
        {"Windows", {"Arial", "Segoe UI", "Tahoma", "Times New Roman"}, "Segoe UI"},
        {"names in other case", {"tahoma", "DejaVu Sans"}, "Tahoma"},
        {"only serif faces", {"DejaVu Serif", "Times New Roman"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AvailableSansSerif(c.families), c.expected) << c.name;
}

} // namespace
} // namespace keyloom
