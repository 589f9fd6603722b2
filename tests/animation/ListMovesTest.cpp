#include "animation/ListMoves.h"

#include <QString>

#include <gtest/gtest.h>

using namespace lumora;

namespace {
QList<QChar> letters(const char *text)
{
    QList<QChar> list;
    for (const char *c = text; *c; ++c)
        list.append(QChar(*c));
    return list;
}
} // namespace

TEST(ListMoves, MoveObjectNamesTheGapBeforeTheMove)
{
    struct Case { qsizetype from, to; const char *result; };
    const Case cases[] = {{0, 3, "bcad"}, {0, 4, "bcda"}, {3, 0, "dabc"}, {1, 1, "abcd"}, {1, 2, "abcd"}, {9, 0, "abcd"}};
    for (const Case &c : cases) {
        QList<QChar> list = letters("abcd");
        moveObjectAtIndex(list, c.from, c.to);
        EXPECT_EQ(list, letters(c.result)) << c.from << " -> " << c.to;
    }
}

TEST(ListMoves, MoveItemsKeepsThemTogetherInOrder)
{
    struct Case { std::vector<qsizetype> from; qsizetype to; const char *result; };
    const Case cases[] = {{{0, 2}, 4, "bdace"}, {{3, 4}, 0, "deabc"}, {{1}, 2, "abcde"}, {{4, 0}, 5, "bcdae"}};
    for (const Case &c : cases) {
        QList<QChar> list = letters("abcde");
        moveItemsAtIndexes(list, c.from, c.to);
        EXPECT_EQ(list, letters(c.result));
    }
}
