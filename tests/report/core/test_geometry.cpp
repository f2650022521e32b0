// Rectangles and points in report units.

#include <gtest/gtest.h>

#include "report/core/frxGeometry.h"

TEST(FrxGeometry, Rects) {
    TfrxFloatRect r = frxMakeRect(1, 2, 3, 4);
    EXPECT_EQ(r.Right, 3);
    EXPECT_EQ(frxMakePoint(5, 6).Y, 6);
}
