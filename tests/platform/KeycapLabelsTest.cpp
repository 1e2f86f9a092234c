#include "support/SheetEdges.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace keyloom {
namespace {

using test::EdgeRun;
using test::EdgeRuns;

TEST(KeycapLabelsTest, TheBuildDrawsFortyEightKeycapFramesToPrintAtRealSize) {
    struct Case {
        const char* file;
        double frameInches;
    };
    for (const Case& c : {Case{"Keycap_Labels_Large.bmp", 0.75}, Case{"Keycap_Labels_Small.bmp", 0.5}}) {
        SCOPED_TRACE(c.file);
        const QImage image(QStringLiteral(KEYLOOM_BINARY_DIR "/bin/Examples/Keycap_Labels/") +
                           QString::fromLatin1(c.file));
        ASSERT_FALSE(image.isNull());
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 300.0, 0.5);
        EXPECT_NEAR(image.dotsPerMeterY() * 0.0254, 300.0, 0.5);
        // Fits a Letter or an A4 page with half-inch margins.
        EXPECT_LE(image.width(), 300 * 7.2);
        EXPECT_LE(image.height(), 300 * 10.0);

        const int frame = static_cast<int>(c.frameInches * 300);
        const std::vector<EdgeRun> columns = EdgeRuns(image, true, 6 * frame * 9 / 10);
        const std::vector<EdgeRun> rows = EdgeRuns(image, false, 8 * frame * 9 / 10);
        ASSERT_EQ(columns.size(), 2u * 8);
        ASSERT_EQ(rows.size(), 2u * 6);
        for (std::size_t i = 0; i < columns.size(); i += 2)
            EXPECT_EQ(columns[i + 1].last - columns[i].first + 1, frame) << "column " << i / 2;
        for (std::size_t i = 0; i < rows.size(); i += 2)
            EXPECT_EQ(rows[i + 1].last - rows[i].first + 1, frame) << "row " << i / 2;
    }
}

} // namespace
} // namespace keyloom
