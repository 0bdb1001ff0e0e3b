// How many pixels two pictures differ in, for the drawing tests.
#pragma once

#include <QImage>

namespace testsupport {

// The count of pixels whose colours differ; -1 when the sizes differ.
inline int Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace testsupport
