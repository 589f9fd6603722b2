#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(LedList, InsertionRuleWithAMarkedLed)
{
    ViewFixture f;
    auto a = f.view->addVertex({10, 10});
    auto b = f.view->addVertex({20, 10});
    auto m = f.view->addVertex({30, 10});
    auto c = f.view->addVertex({40, 10});
    f.view->markNode(m);
    auto n1 = f.view->addVertex({50, 10});
    auto n2 = f.view->addVertex({60, 10});
    EXPECT_EQ(f.view->nodes(), (QList<NodePtr>{a, b, n2, n1, m, c}));
    EXPECT_TRUE(n1->isMarked() && n2->isMarked() && m->isMarked());
}
