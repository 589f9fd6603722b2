// Changes that register no undo step still reach the file: autosave in the real event loop,
// then the document opened again.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/UndoManager.h"
#include "document/DocumentModel.h"
#include "editor/View.h"

#include <QApplication>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// Turns the event loop until the condition holds or five seconds have passed.
bool waitFor(const std::function<bool()> &condition)
{
    for (int waited = 0; waited < 5000; waited += 50) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

/// A copy of a stored layout in a folder of its own, open in a window.
struct OpenLayout {
    QTemporaryDir folder;
    QString fileName = folder.filePath("layout.lumora");
    std::unique_ptr<Document> document;

    explicit OpenLayout(const QString &stored)
    {
        QFile::copy(QStringLiteral(LUMORA_TEST_DATA "/documents/") + stored, fileName);
        QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
        QString error;
        document.reset(Document::open(fileName, &error));
        EXPECT_NE(document, nullptr) << error.toStdString();
        document->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(document->window()));
    }
    View *view() const { return document->view(); }
    QPoint at(QPointF layout) const { return view()->widgetPoint(layout).toPoint(); }
    bool saved() const { return !document->isModified(); }
    /// The file as another window would open it now.
    std::unique_ptr<Document> reopened() const
    {
        QString error;
        // The first document still has the file: a second one reads it read-only.
        return std::unique_ptr<Document>(Document::open(fileName, &error, true));
    }
};

} // namespace

TEST(SavingFollowsTheModel, AGridPlacedByClicksIsSavedAndComesBack)
{
    OpenLayout layout("points-and-filenames.lumora");
    ASSERT_EQ(layout.view()->model()->gridState(), 0);
    layout.view()->setMode("Edit Grid");
    for (QPointF p : {QPointF(300, 300), QPointF(340, 300), QPointF(300, 340)})
        QTest::mouseClick(layout.view(), Qt::LeftButton, {}, layout.at(p));
    EXPECT_EQ(layout.view()->model()->gridState(), 3);
    EXPECT_TRUE(layout.document->isModified());
    ASSERT_TRUE(waitFor([&] { return layout.saved(); }));
    const auto again = layout.reopened();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->view()->model()->gridState(), 3);
    // Stored to six decimals.
    const QPointF y = again->model()->gridHandles()->yDirection - layout.view()->model()->yDirection()->position();
    EXPECT_LT(std::abs(y.x()) + std::abs(y.y()), 1e-5);
}

TEST(SavingFollowsTheModel, ChangeFramesIsSavedAndComesBack)
{
    OpenLayout layout("two-leds-grid-image-track.lumora");
    DocumentModel *model = layout.document->model();
    ASSERT_FALSE(model->frames().isEmpty());
    model->setCurrentFrame(0);
    const QList<bool> before = model->frames()[0]->selection;
    QList<bool> changed = before;
    changed[0] = !changed[0];
    model->undoManager()->disableUndoRegistration(); // only Change Frames may make it modified
    model->setMarking(changed);
    model->undoManager()->enableUndoRegistration();
    layout.view()->model()->changeFrames();
    EXPECT_TRUE(layout.document->isModified());
    ASSERT_TRUE(waitFor([&] { return layout.saved(); }));
    const auto again = layout.reopened();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->model()->frames()[0]->selection.mid(0, changed.size()), changed);
}

TEST(SavingFollowsTheModel, APictureDroppedOnTheLayoutJoinsTheStripAndOpensAsTheBackground)
{
    OpenLayout layout("empty.lumora");
    const QString picture = layout.folder.filePath("dropped.png");
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    ASSERT_TRUE(image.save(picture));
    const qsizetype pictures = layout.document->model()->images().size();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture)});
    const QPoint at = layout.at({500, 400});
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(layout.view(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(layout.view(), &drop);
    EXPECT_NE(layout.view()->model()->background(), nullptr);
    ASSERT_TRUE(waitFor([&] { return layout.saved(); }));

    const auto again = layout.reopened();
    ASSERT_NE(again, nullptr);
    const QList<QUrl> stored = again->model()->images();
    ASSERT_EQ(stored.size(), pictures + 1);
    EXPECT_EQ(again->resolved(stored.last()), QUrl::fromLocalFile(picture));
    ASSERT_NE(again->view()->model()->background(), nullptr);
    EXPECT_EQ(again->view()->model()->background()->image().size(), QSize(32, 24));
}

TEST(SavingFollowsTheModel, PicturesTravelWithTheDocumentAndSurviveSaveAsElsewhere)
{
    OpenLayout layout("empty.lumora");
    QDir(layout.folder.path()).mkpath("art");
    const QString picture = layout.folder.filePath("art/wall.png");
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(picture));
    layout.document->model()->appendImage(QUrl::fromLocalFile(picture));
    QString error;
    ASSERT_TRUE(layout.document->saveTo(layout.fileName, &error)) << error.toStdString();
    QFile saved(layout.fileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\"art/wall.png\"")) << "stored relative to the document";

    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath("copy.lumora");
    ASSERT_TRUE(layout.document->saveTo(moved, &error)) << error.toStdString();
    QString openError;
    std::unique_ptr<Document> again(Document::open(moved, &openError, true));
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->model()->images().size(), 1);
    EXPECT_EQ(again->resolved(again->model()->images()[0]), QUrl::fromLocalFile(picture));
    ASSERT_NE(again->view()->model()->background(), nullptr);
    EXPECT_EQ(again->view()->model()->background()->image().size(), QSize(20, 10));
    // The window still shows it too.
    EXPECT_EQ(layout.document->resolved(layout.document->model()->images()[0]), QUrl::fromLocalFile(picture));
}
