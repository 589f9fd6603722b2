#include "EditorTestSupport.h"

#include <QClipboard>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QList<QPointF> positions(const View &view)
{
    QList<QPointF> list;
    for (const NodePtr &node : view.model()->leds())
        list.append(node->position());
    return list;
}

void putOnClipboard(const QByteArray &data)
{
    auto *mime = new QMimeData;
    mime->setData("com.lumora.pasteboard.nodes", data);
    QApplication::clipboard()->setMimeData(mime);
}

} // namespace

TEST(Clipboard, CopyAndPasteBetweenTwoLayouts)
{
    ViewFixture from, to;
    QList<NodePtr> leds;
    for (int i = 0; i < 7; ++i)
        leds.append(from.view->addVertex({10.0 * i, 5}));
    from.view->model()->markLed(leds[2]);
    from.view->model()->markLed(leds[5]);
    EditCommands(from.view->model()).copy();
    ASSERT_TRUE(EditCommands::canPaste());

    // Into a layout with nothing marked: appended in reverse order, all marked.
    to.view->addVertex({500, 500});
    EditCommands(to.view->model()).paste();
    EXPECT_EQ(positions(*to.view), (QList<QPointF>{{500, 500}, {50, 5}, {20, 5}}));
    EXPECT_TRUE(to.view->model()->leds()[1]->isMarked() && to.view->model()->leds()[2]->isMarked());
    EXPECT_FALSE(to.view->model()->leds()[0]->isMarked());

    // Into the same layout, where the copied LEDs are still marked: in front of LED 2,
    // LED 5's copy first, and each copy lies on its original.
    EditCommands(from.view->model()).paste();
    EXPECT_EQ(positions(*from.view).mid(2, 3), (QList<QPointF>{{50, 5}, {20, 5}, {20, 5}}));
    EXPECT_EQ(from.view->duplicateNodes().size(), 2);
}

TEST(Clipboard, CutCopiesAndDeletesInOneUndoStep)
{
    ViewFixture f;
    QList<NodePtr> leds;
    for (int i = 0; i < 5; ++i)
        leds.append(f.view->addVertex({10.0 * i, 0}));
    f.endEvent();
    for (int i : {0, 2, 4})
        f.view->model()->markLed(leds[i]);
    f.endEvent();
    EditCommands(f.view->model()).cut();
    f.endEvent();
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{leds[1], leds[3]}));
    EXPECT_EQ(f.undo.undoActionName(), "remove node");
    f.undo.undo();
    EXPECT_EQ(f.view->model()->leds(), leds);

    // With nothing marked, cut leaves the clipboard and the layout alone.
    putOnClipboard("{\"nodes\": [[1, 2]]}");
    EditCommands(f.view->model()).selectAll();
    for (const NodePtr &led : leds)
        f.view->model()->unmarkLed(led);
    EditCommands(f.view->model()).cut();
    EXPECT_EQ(f.view->model()->ledCount(), 5);
    EXPECT_EQ(EditCommands::clipboardNodes().value(), (QList<QPointF>{{1, 2}}));
}

TEST(Clipboard, ForeignOrMalformedDataPastesNothing)
{
    ViewFixture f;
    for (const QByteArray &bad : {QByteArray("not json"), QByteArray("[1, 2]"), QByteArray("{\"nodes\": [[1]]}"),
                                  QByteArray("{\"nodes\": [[\"a\", 2]]}"), QByteArray("{\"nodes\": 7}")}) {
        putOnClipboard(bad);
        EXPECT_FALSE(EditCommands::canPaste()) << bad.constData();
        EditCommands(f.view->model()).paste();
    }
    QApplication::clipboard()->setText("100,100");
    EXPECT_FALSE(EditCommands::canPaste());
    EditCommands(f.view->model()).paste();
    putOnClipboard("{\"other\": 1}"); // no key "nodes": no positions
    EditCommands(f.view->model()).paste();
    EXPECT_EQ(f.view->model()->ledCount(), 0);
}

TEST(Duplicates, OnlyExactMatchesOfEarlierLedsAreMarked)
{
    ViewFixture f;
    f.view->addVertex({100, 100});
    f.view->addVertex({100, 100});
    auto close = f.view->addVertex({100, 100.0001});
    ASSERT_EQ(f.view->duplicateNodes().size(), 1);
    EXPECT_EQ(f.view->duplicateNodes()[0]->position(), QPointF(100, 100));
    f.view->addVertex({100, 100});
    EXPECT_EQ(f.view->duplicateNodes().size(), 2); // three on one spot: two markers
    f.model.moveLed(close, {100, 100});
    f.view->updateEdges(false);
    EXPECT_EQ(f.view->duplicateNodes().size(), 3);
}
