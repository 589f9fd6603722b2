// What the menus, drops and dialogs of a document window do, through the real actions.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentModel.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// A new layout in its window with two LEDs (undo off), and the window's menu actions.
struct Window {
    std::unique_ptr<Document> document = std::make_unique<Document>();
    View *view = document->view();

    Window()
    {
        document->undoManager()->disableUndoRegistration();
        view->addVertex({100, 100});
        view->addVertex({300, 100});
        document->undoManager()->enableUndoRegistration();
        document->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(document->window()));
    }
    QAction *action(const QString &menuTitle, const QString &text) const
    {
        for (QAction *menu : document->window()->menuBar()->actions()) {
            if (menu->text().remove('&') != menuTitle)
                continue;
            for (QAction *item : menu->menu()->actions())
                if (item->text().remove('&') == text)
                    return item;
        }
        ADD_FAILURE() << "no " << text.toStdString();
        return nullptr;
    }
    /// Triggers the item the way its shortcut does: with Ctrl held.
    void triggerWithCtrl(const QString &menu, const QString &text)
    {
        QTest::keyPress(document->window(), Qt::Key_Control, Qt::ControlModifier);
        ASSERT_TRUE(QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
        action(menu, text)->trigger();
        QTest::keyRelease(document->window(), Qt::Key_Control);
    }
};

} // namespace

TEST(MenuCommands, ShortcutsDoWhatTheirItemsSayWithCtrlHeld)
{
    Window turned, plain;
    turned.triggerWithCtrl("Layout", "Rotate Clockwise");
    plain.view->transforms().rotateClockwise();
    EXPECT_EQ(turned.view->model()->ledPositions(), plain.view->model()->ledPositions());
    EXPECT_EQ(turned.view->model()->ledPositions()[0], QPointF(200, 200)); // clockwise with y up

    Window fitted, full;
    fitted.triggerWithCtrl("Layout", "Scale to Fit");
    full.view->transforms().scaleToFit();
    EXPECT_EQ(fitted.view->model()->ledPositions(), full.view->model()->ledPositions());
}

TEST(MenuCommands, PreviousFrameWithoutFramesDoesNothing)
{
    Window w;
    w.view->model()->setBackground(Picture::fromImage(QImage(8, 8, QImage::Format_RGB32)), QUrl());
    w.document->undoManager()->endGrouping();
    const int steps = w.document->undoManager()->stack()->count();
    w.action("Frame", "Previous Frame")->trigger();
    w.document->undoManager()->endGrouping();
    EXPECT_NE(w.view->model()->background(), nullptr);
    EXPECT_EQ(w.document->undoManager()->stack()->count(), steps);
}

// Past the undo budget the oldest steps go, and the Edit menu says so rather than leaving
// anyone to find out by undoing.
TEST(MenuCommands, TheEditMenuSaysWhenOldUndoStepsWereDropped)
{
    Window w;
    UndoManager &undo = *w.document->undoManager();
    undo.setMemoryBudget(1);
    for (int i = 0; i < 3; ++i) {
        w.action("Layout", "Rotate Clockwise")->trigger();
        undo.endGrouping();
    }
    EXPECT_EQ(undo.stack()->count(), 1);
    QAction *told = w.action("Edit", "2 oldest undo steps dropped (history above 0 MB)");
    ASSERT_TRUE(told);
    EXPECT_TRUE(told->isVisible());
    EXPECT_FALSE(told->isEnabled());
}

TEST(Drops, AreCopiesAndWebAddressesAreToldNotIgnored)
{
    Window w;
    QMimeData data;
    data.setUrls({QUrl("https://example.org/picture.png")});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(w.view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);

    QSignalSpy told(w.view, &View::statusMessage);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(w.view, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    ASSERT_EQ(told.count(), 1);
    EXPECT_TRUE(told.first()[0].toString().contains("local files"));
    EXPECT_TRUE(w.document->model()->images().isEmpty());
}

TEST(AddPictures, AddsTheChosenPicturesAndShowsTheFirst)
{
    QTemporaryDir folder;
    QStringList files;
    for (const char *name : {"one.png", "two.png"}) {
        QImage image(12, 9, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        ASSERT_TRUE(image.save(folder.filePath(name)));
        files.append(folder.filePath(name));
    }
    auto &chooser = Document::pictureChooser();
    const auto dialog = chooser;
    QString askedIn;
    chooser = [&](QWidget *, const QString &start) {
        askedIn = start;
        return files;
    };
    Window w;
    w.action("File", "Add Pictures…")->trigger();
    chooser = dialog;

    EXPECT_FALSE(askedIn.isEmpty());
    EXPECT_EQ(w.document->model()->images(), (QList<QUrl>{QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])}));
    ASSERT_NE(w.view->model()->background(), nullptr);
    EXPECT_EQ(w.view->model()->backgroundUrl(), QUrl::fromLocalFile(files[0]));
    EXPECT_TRUE(w.document->isModified());
}
