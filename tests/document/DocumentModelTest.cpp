// The document model without any widget: LEDs, marking, grid and frames with their undo,
// and which changes mark a document modified.
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/UndoManager.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

NodePtr ledAt(QPointF p)
{
    auto node = std::make_shared<Node>();
    node->setPosition(p);
    return node;
}

/// A model with `count` LEDs along a line and one undo step per operation.
struct ModelFixture {
    DocumentModel model;
    UndoManager &undo = *model.undoManager();

    explicit ModelFixture(int count = 0)
    {
        undo.disableUndoRegistration();
        for (int i = 0; i < count; ++i)
            model.addLed(ledAt(QPointF(100 + 10 * i, 100)));
        undo.enableUndoRegistration();
    }
    void step() { undo.endGrouping(); }
    /// The frames by the marking they hold, as "10 01".
    QString frames() const
    {
        QStringList names;
        for (const FramePtr &frame : model.frames()) {
            QString name;
            for (bool lit : frame->selection)
                name += lit ? '1' : '0';
            names.append(name);
        }
        return names.join(' ');
    }
    /// A frame per marking, added with undo off.
    void addFrames(const QStringList &markings)
    {
        undo.disableUndoRegistration();
        for (const QString &marking : markings) {
            QList<bool> list;
            for (QChar c : marking)
                list.append(c == '1');
            model.setMarking(list);
            model.setCurrentFrame(-1, false);
            model.addFrame();
        }
        undo.enableUndoRegistration();
    }
};

} // namespace

TEST(DocumentModelFrames, UndoingAddFrameRemovesTheAddedFrameWhateverIsCurrentByThen)
{
    ModelFixture f(2);
    f.addFrames({"10", "01"});
    f.model.setCurrentFrame(-1, false);
    f.model.setMarking({true, true});
    f.model.addFrame();
    f.step();
    EXPECT_EQ(f.frames(), "10 01 11");
    EXPECT_EQ(f.undo.undoActionName(), "add Frame");

    f.model.setCurrentFrame(0);
    f.undo.undo();
    EXPECT_EQ(f.frames(), "10 01");
    f.undo.redo();
    EXPECT_EQ(f.frames(), "10 01 11");
}

TEST(DocumentModelFrames, AddFrameAfterPutsTheNewFrameAfterTheCurrentOne)
{
    ModelFixture f(2);
    f.addFrames({"10", "01", "00"});
    f.model.setCurrentFrame(1, false);
    f.model.setMarking({true, true});
    f.model.addFrameAfter();
    f.step();
    EXPECT_EQ(f.frames(), "10 01 11 00");
    EXPECT_EQ(f.model.currentFrame(), 2) << "the new frame is current";
    EXPECT_EQ(f.undo.undoActionName(), "add Frame");
    f.undo.undo();
    EXPECT_EQ(f.frames(), "10 01 00");

    // After the last frame, and with none current, it goes at the end.
    f.model.setCurrentFrame(2, false);
    f.model.setMarking({true, true});
    f.model.addFrameAfter();
    f.model.setCurrentFrame(-1, false);
    f.model.addFrameAfter();
    EXPECT_EQ(f.frames(), "10 01 00 11 11");
}

TEST(DocumentModelFrames, UndoingReverseRestoresTheOrderWhateverIsSelectedByThen)
{
    ModelFixture f(3);
    f.addFrames({"100", "010", "001", "110"});
    for (qsizetype i = 0; i < 4; ++i)
        f.model.setFrameSelected(i, i != 1);
    f.model.reverseFrames();
    f.step();
    EXPECT_EQ(f.frames(), "110 010 001 100");
    EXPECT_EQ(f.undo.undoActionName(), "reverse Frames");

    for (qsizetype i = 0; i < 4; ++i)
        f.model.setFrameSelected(i, i == 1);
    f.undo.undo();
    EXPECT_EQ(f.frames(), "100 010 001 110");
    f.undo.redo();
    EXPECT_EQ(f.frames(), "110 010 001 100");
}

TEST(DocumentModelFrames, RemoveMoveAndStepUndoAndShowingAFrameRecordsNothing)
{
    ModelFixture f(2);
    f.addFrames({"10", "01", "11"});
    const FramePtr second = f.model.frames()[1];
    const int steps = f.undo.stack()->count();

    // Showing a frame marks LEDs but is not an edit.
    f.model.setCurrentFrame(1);
    f.step();
    EXPECT_EQ(f.model.marking(), (QList<bool>{false, true}));
    EXPECT_EQ(f.undo.stack()->count(), steps);

    f.model.removeFrame();
    f.step();
    EXPECT_EQ(f.frames(), "10 11");
    EXPECT_EQ(f.undo.undoActionName(), "remove Frame");
    f.undo.undo();
    EXPECT_EQ(f.model.frames()[1], second);

    f.model.moveFrame(0, 3);
    f.step();
    EXPECT_EQ(f.frames(), "01 11 10");
    EXPECT_EQ(f.undo.undoActionName(), "move Frames");
    f.undo.undo();
    EXPECT_EQ(f.frames(), "10 01 11");

    f.model.setCurrentFrame(2);
    EXPECT_TRUE(f.model.previousFrame());
    f.step();
    EXPECT_EQ(f.undo.undoActionName(), "previous Frame");
    EXPECT_EQ(f.model.currentFrame(), 1);
    f.undo.undo();
    EXPECT_EQ(f.model.currentFrame(), 2);
}

TEST(DocumentModelFrames, PreviousFrameWithoutFramesDoesNothing)
{
    ModelFixture f(2);
    f.model.setBackground(Picture::fromImage(QImage(4, 4, QImage::Format_RGB32)), QUrl("file:///a.png"));
    f.step();
    const int steps = f.undo.stack()->count();
    EXPECT_FALSE(f.model.previousFrame());
    f.step();
    EXPECT_EQ(f.undo.stack()->count(), steps);
    EXPECT_NE(f.model.background(), nullptr);
}

TEST(DocumentModelLeds, BulkChangesAreOneRecordAndPutEveryLedBackAtItsIndex)
{
    ModelFixture f(6);
    const QList<NodePtr> before = f.model.leds();
    QSignalSpy changes(&f.model, &DocumentModel::ledsChanged);
    f.model.removeLeds({before[1], before[4], before[5]});
    f.step();
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(f.model.ledCount(), 3);
    f.undo.undo();
    EXPECT_EQ(f.model.leds(), before);

    const QList<NodePtr> pasted{ledAt({1, 1}), ledAt({2, 2})};
    f.model.insertLeds(pasted, 2);
    f.step();
    EXPECT_EQ(f.model.leds()[2], pasted[0]);
    EXPECT_EQ(f.model.leds()[3], pasted[1]);
    f.undo.undo();
    EXPECT_EQ(f.model.leds(), before);
}

TEST(DocumentModelLeds, MarkingIsCountedAndUndoneStepByStep)
{
    ModelFixture f(3);
    f.model.markLed(f.model.leds()[1]);
    f.step();
    EXPECT_TRUE(f.model.isMarked());
    EXPECT_EQ(f.undo.undoActionName(), "select node");
    EXPECT_EQ(f.model.markedLeds(), QList<NodePtr>{f.model.leds()[1]});
    f.model.removeLed(f.model.leds()[1]);
    f.step();
    EXPECT_FALSE(f.model.isMarked());
    f.undo.undo();
    EXPECT_TRUE(f.model.isMarked());
    f.undo.undo();
    EXPECT_FALSE(f.model.isMarked());
}

TEST(DocumentModelGrid, PlacedHandlesModifyTheDocumentAndAGridDragIsOneMove)
{
    ModelFixture f;
    QSignalSpy modified(&f.model, &DocumentModel::changedWithoutUndo);
    f.model.addOrigin({100, 100});
    f.model.addX({200, 100});
    f.model.addY({100, 200});
    EXPECT_EQ(modified.count(), 3);
    EXPECT_EQ(f.model.gridState(), 3);
    EXPECT_FALSE(f.undo.canUndo());

    const GridHandles before = *f.model.gridHandles();
    f.model.setGridPositions({110, 110}, {210, 110}, {110, 210});
    f.model.registerGridMove(before);
    f.step();
    EXPECT_EQ(f.undo.undoActionName(), "move grid");
    f.undo.undo();
    EXPECT_EQ(f.model.gridHandles()->xDirection, QPointF(200, 100));
    EXPECT_EQ(f.model.transform()->map({1, 1}), QPointF(200, 200));
}

TEST(DocumentModelFiles, LoadingReportsNoChangeAndTheSnapshotWritesWhatWasRead)
{
    Model read;
    ASSERT_TRUE(readDocumentFile(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora", read).ok);
    ModelFixture f;
    QSignalSpy modified(&f.model, &DocumentModel::changedWithoutUndo);
    f.model.load(read);
    EXPECT_EQ(modified.count(), 0);
    EXPECT_FALSE(f.undo.canUndo());
    EXPECT_EQ(f.model.ledCount(), 2);
    EXPECT_EQ(writeDocument(f.model.snapshot()), writeDocument(LayoutSnapshot::fromModel(read)));

    // The strip and Change Frames are saved although they register no undo.
    f.model.appendImage(QUrl("a.png"));
    f.addFrames({"10"});
    f.model.changeFrames();
    EXPECT_EQ(modified.count(), 2);
}

TEST(DocumentModelLeds, AnImportIsOneNamedStep)
{
    ModelFixture f(1);
    f.model.importLeds({{10, 10}, {20, 20}, {30, 30}});
    f.step();
    EXPECT_EQ(f.model.ledCount(), 4);
    EXPECT_EQ(f.model.leds()[3]->position(), QPointF(30, 30));
    EXPECT_EQ(f.undo.undoActionName(), "import LEDs");
    f.undo.undo();
    EXPECT_EQ(f.model.ledCount(), 1);
}

TEST(DocumentModelGrid, RemoveGridIsOneUndoableStep)
{
    ModelFixture f;
    f.model.addOrigin({100, 100});
    f.model.addX({100, 100}); // a broken grid, as a double-click used to leave it
    f.model.removeGrid();
    f.step();
    EXPECT_EQ(f.model.gridState(), 0);
    EXPECT_EQ(f.undo.undoActionName(), "remove grid");
    f.undo.undo();
    EXPECT_EQ(f.model.gridState(), 2);
    EXPECT_EQ(f.model.xDirection()->position(), QPointF(100, 100));
    f.undo.redo();
    EXPECT_EQ(f.model.gridState(), 0);
}

// What a drop or File ▸ Open asks of the model: a file that cannot be a picture leaves the
// background and the undo history as they were; one that can is one undoable step.
TEST(DocumentModelPictures, ABackgroundFileIsJudgedBeforeItReplacesTheBackground)
{
    QTemporaryDir dir;
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString picture = dir.filePath("green.png");
    ASSERT_TRUE(image.save(picture));
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a picture") > 0);
    text.close();

    ModelFixture f;
    QSignalSpy changed(&f.model, &DocumentModel::backgroundChanged);
    for (const QUrl &refused : {QUrl::fromLocalFile(text.fileName()), QUrl("https://example.org/green.png"),
                                QUrl::fromLocalFile(dir.filePath("missing.png"))})
        EXPECT_FALSE(f.model.setBackgroundFile(refused)) << qPrintable(refused.toString());
    EXPECT_FALSE(f.model.background());
    EXPECT_FALSE(f.undo.canUndo());
    EXPECT_EQ(changed.count(), 0);

    ASSERT_TRUE(f.model.setBackgroundFile(QUrl::fromLocalFile(picture)));
    f.step();
    ASSERT_TRUE(f.model.background());
    EXPECT_EQ(f.model.backgroundUrl(), QUrl::fromLocalFile(picture));
    f.undo.undo();
    EXPECT_FALSE(f.model.background());
    EXPECT_TRUE(f.model.backgroundUrl().isEmpty());
}
