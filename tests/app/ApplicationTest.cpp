#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/ExportDialog.h"
#include "document/UndoManager.h"
#include "editor/EditCommands.h"
#include "editor/NextLedMarker.h"
#include "editor/View.h"
#include "editor/tools/DrawStripTool.h"
#include "editor/tools/SelectTool.h"
#include "patterns/framework/ColorPattern.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QList<QAction *> checked(const QList<QAction *> &actions)
{
    QList<QAction *> result;
    for (QAction *action : actions)
        if (action->isChecked())
            result.append(action);
    return result;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

} // namespace

TEST(PatternMenu, OneCheckMarkAndTheChoiceSurvivesARestart)
{
    QSettings().remove("status");
    {
        Application app;
        ASSERT_EQ(app.patternActions().size(), 64);
        EXPECT_EQ(app.status(), 0);
        ASSERT_EQ(checked(app.patternActions()).size(), 1);
        EXPECT_EQ(checked(app.patternActions()).first(), app.patternActions().first());
        EXPECT_EQ(app.pattern(), app.patterns().at(0));

        app.patternActions()[5]->trigger();
        EXPECT_EQ(app.status(), 5);
        EXPECT_EQ(checked(app.patternActions()), QList<QAction *>{app.patternActions()[5]});
    }
    Application restarted;
    EXPECT_EQ(restarted.status(), 5);
    EXPECT_TRUE(restarted.patternActions()[5]->isChecked());
    QSettings().remove("status");
}

TEST(PatternMenu, AStoredIndexOutOfRangeLeavesNoneChecked)
{
    QSettings().setValue("status", 500);
    Application app;
    EXPECT_EQ(app.pattern(), nullptr);
    EXPECT_TRUE(checked(app.patternActions()).isEmpty());
    app.patternActions()[2]->trigger(); // choosing an entry repairs it
    EXPECT_EQ(checked(app.patternActions()).size(), 1);
    QSettings().remove("status");
}

TEST(PatternMenu, ViewMenuEndsWithASeparatorThePatternsInNameOrderAndMyPatterns)
{
    Application app;
    Document *document = app.newDocument();
    QMenu *viewMenu = nullptr;
    for (QAction *action : document->window()->menuBar()->actions())
        if (action->text().remove('&') == "View")
            viewMenu = action->menu();
    ASSERT_NE(viewMenu, nullptr);
    const QList<QAction *> items = viewMenu->actions();
    // The built-ins come last but for the "My Patterns" section after them.
    qsizetype mine = items.size();
    while (mine > 0 && items[mine - 1]->text() != "My Patterns")
        --mine;
    ASSERT_GE(mine, 67);
    EXPECT_TRUE(items[mine - 2]->isSeparator());
    const qsizetype end = mine - 2;
    EXPECT_TRUE(items[end - 65]->isSeparator());
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(items[end - 64 + i]->text().toStdString(), app.patterns().at(i)->name());
    delete document;
}

TEST(Documents, OpeningLeavesNothingToUndoAndSetsUpTheLayout)
{
    QTemporaryDir dir;
    const QString file = writeFile(dir, "a.lumora",
                                   "Point points[2] =\n{\n10,10,\n20,20,\n};\n\nPoint grid[3] =\n{\n0,0,\n64,0,\n0,64,\n};\n");
    QString error;
    std::unique_ptr<Document> document(Document::open(file, &error));
    ASSERT_TRUE(document) << qPrintable(error);
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(document->view()->model()->ledCount(), 2);
    EXPECT_EQ(document->view()->model()->gridState(), 3);
    EXPECT_EQ(document->view()->mode(), "Select"); // a document with a grid opens in select mode
    // Writing the live state gives back the canonical text.
    EXPECT_TRUE(document->data().startsWith("Point points[2] =\n{\n10.000000,10.000000,\n"));
}

TEST(Documents, APartialGridSetsOnlyItsHandles)
{
    QTemporaryDir dir;
    const QString file = writeFile(dir, "b.lumora", "\nPoint grid[2] =\n{\n5,5,\n9,5,\n};\n");
    std::unique_ptr<Document> document(Document::open(file, nullptr));
    ASSERT_TRUE(document);
    EXPECT_EQ(document->view()->model()->gridState(), 2);
    EXPECT_TRUE(document->view()->model()->xDirection());
    EXPECT_FALSE(document->view()->model()->yDirection());
    EXPECT_EQ(document->view()->mode(), "Edit Nodes");
}

TEST(Documents, UnreadableFilesAreRefusedNotOpenedEmpty)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_EQ(Document::open(writeFile(dir, "bad.lumora", "1,2,\n\xff\n"), &error), nullptr);
    EXPECT_TRUE(error.contains("UTF-8"));
    EXPECT_EQ(Document::open(dir.filePath("missing.lumora"), &error), nullptr);
    EXPECT_EQ(Document::open(dir.path(), &error), nullptr);
}

TEST(Documents, SavingWritesAtomicallyAndMarksClean)
{
    QTemporaryDir dir;
    Document document;
    document.view()->addVertex({100, 200});
    document.undoManager()->endGrouping();
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.undoManager()->undoActionName(), "add node");
    QString error;
    ASSERT_TRUE(document.saveTo(dir.filePath("saved.lumora"), &error)) << qPrintable(error);
    EXPECT_FALSE(document.isModified());
    QFile saved(dir.filePath("saved.lumora"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "Point points[1] =\n{\n100.000000,200.000000,\n};\n");
    // A folder where the file should go: the save fails and says so.
    EXPECT_FALSE(document.saveTo(dir.path(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Documents, ToolbarFollowsTheModeAndTheOptionKey)
{
    Document document;
    DocumentWindow *window = document.window();
    document.view()->setMode("Select");
    EXPECT_TRUE(window->toolbarAction("Select")->isChecked());
    document.view()->setMode("Preview"); // refused: no grid
    EXPECT_TRUE(window->toolbarAction("Select")->isChecked());
    EXPECT_EQ(document.view()->mode(), "Select");

    QAction *rotate = window->toolbarAction("RotateMenu");
    QAction *scale = window->toolbarAction("ScaleMenu");
    document.view()->flagsChanged(Qt::AltModifier);
    EXPECT_EQ(rotate->property("image").toString(), "RotateLeftMenu");
    EXPECT_EQ(scale->property("image").toString(), "Scale2Menu");
    document.view()->flagsChanged(std::nullopt);
    EXPECT_EQ(rotate->property("image").toString(), "RotateMenu");
    EXPECT_EQ(scale->property("image").toString(), "ScaleMenu");
}

TEST(Documents, ExportWritesBesideTheDocumentAndFollowsTheTab)
{
    QTemporaryDir dir;
    Application app;
    app.setStatus(0);
    Document *document = app.newDocument();
    document->view()->addVertex({512, 384});
    EditCommands(document->view()->model()).selectAll();
    document->view()->model()->addFrame();
    QString error;
    ASSERT_TRUE(document->saveTo(dir.filePath("wall.lumora"), &error)) << qPrintable(error);

    const QString ppm = dir.filePath(QString::fromStdString(app.pattern()->name()) + ".ppm");
    document->window()->showAnimationTab(true);
    document->exportAll();
    auto *dialog = document->window()->findChild<ExportDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->animation()) << "the Frames tab shows";
    dialog->accept();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("frame001.ppm")); }, 20000));
    EXPECT_TRUE(QFile::exists(ppm));
    EXPECT_FALSE(QFile::exists(dir.filePath("frame000.ppm")));
    QTest::qWait(50); // let the report reach the window
    delete document;
}
