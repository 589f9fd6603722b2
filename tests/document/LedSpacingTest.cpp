#include "document/LedSpacing.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(LedSpacing, TheMedianNearestNeighbourDistanceIgnoringStackedLeds)
{
    EXPECT_EQ(typicalSpacing({}), 0);
    EXPECT_EQ(typicalSpacing({{5, 5}, {5, 5}}), 0);

    // A strip of 3 units with every LED doubled and one far outlier.
    QList<QPointF> strip;
    for (int i = 0; i < 50; ++i)
        strip << QPointF(10 + 3 * i, 20) << QPointF(10 + 3 * i, 20);
    strip << QPointF(900, 700);
    EXPECT_DOUBLE_EQ(typicalSpacing(strip), 3);

    // A 120 × 120 matrix, 5 units apart: sampled, still exact.
    QList<QPointF> matrix;
    for (int i = 0; i < 120 * 120; ++i)
        matrix << QPointF(100 + (i % 120) * 5, 50 + (i / 120) * 5);
    EXPECT_DOUBLE_EQ(typicalSpacing(matrix), 5);
}
