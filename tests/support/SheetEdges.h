#pragma once

#include <QImage>

#include <vector>

namespace keyloom::test {

struct EdgeRun {
    int first, last;
};

// Runs of lines (columns, or rows) that are inked over at least minimum pixels: the frame edges,
// which nothing else on the sheet comes close to.
inline std::vector<EdgeRun> EdgeRuns(const QImage& image, bool columns, int minimum) {
    const int lines = columns ? image.width() : image.height();
    const int length = columns ? image.height() : image.width();
    std::vector<EdgeRun> runs;
    for (int line = 0; line < lines; ++line) {
        int ink = 0;
        for (int i = 0; i < length; ++i)
            ink += (columns ? image.pixel(line, i) : image.pixel(i, line)) != qRgb(255, 255, 255);
        if (ink < minimum)
            continue;
        if (!runs.empty() && runs.back().last == line - 1)
            runs.back().last = line;
        else
            runs.push_back({line, line});
    }
    return runs;
}

} // namespace keyloom::test
