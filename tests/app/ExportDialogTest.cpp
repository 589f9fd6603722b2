#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/ExportDialog.h"
#include "exports/ExportSettings.h"
#include "editor/EditCommands.h"
#include "editor/NextLedMarker.h"
#include "editor/View.h"
#include "editor/tools/DrawStripTool.h"
#include "editor/tools/SelectTool.h"
#include "patterns/catalogue/Catalogue.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

} // namespace

TEST(ExportDialog, ListsTheFilesAboutToBeWrittenAndMarksTheReplacedOnes)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("wall.lumora");
    touch(dir.filePath("image0.h"));
    touch(dir.filePath("Oil.ppm"));
    const PatternRegistry patterns = builtInPatterns();
    ExportDialog dialog(doc, ExportSettings(), 2, 1, patterns, "Oil", false);
    EXPECT_EQ(dialog.folder(), QDir(dir.path()).absolutePath()) << "the layout's folder by default";
    EXPECT_EQ(dialog.fileLines(), QStringList({"Oil.ppm (replaced)", "image0.h (replaced)", "image1.h",
                                               "frame000.ppm", "cases.h", "images.h"}));

    // Frames instead of pictures: one header, the frames' PPM.
    dialog.findChild<QRadioButton *>("frames")->setChecked(true);
    EXPECT_EQ(dialog.fileLines(), QStringList({"Oil.ppm (replaced)", "image0.h (replaced)", "frame001.ppm",
                                               "cases.h", "images.h"}));

    // No pattern, and a folder where nothing is yet.
    auto *pattern = dialog.findChild<QComboBox *>("pattern");
    pattern->setCurrentIndex(0);
    dialog.findChild<QLineEdit *>("folder")->setText(dir.filePath("out"));
    EXPECT_EQ(dialog.fileLines(), QStringList({"image0.h", "frame001.ppm", "cases.h", "images.h"}));
    EXPECT_EQ(dialog.patternName(), QString());

    // No frames and no pattern: nothing to write, and the list says so.
    ExportDialog empty(doc, ExportSettings(), 0, 0, patterns, QString(), true);
    ASSERT_EQ(empty.fileLines().size(), 1);
    EXPECT_TRUE(empty.fileLines().first().startsWith("Nothing"));
}

TEST(ExportDialog, RemembersTheFolderAndStylePerLayout)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    const QString a = dir.filePath("a/wall.lumora"), b = dir.filePath("b/wall.lumora");
    ExportSettings chosen;
    chosen.folder = dir.filePath("firmware");
    chosen.headerStyle = HeaderStyle::Classic;
    chosen.patternFrames = 120;
    chosen.save(store, a);

    const ExportSettings again = ExportSettings::load(store, a);
    EXPECT_EQ(again.folderFor(a), dir.filePath("firmware"));
    EXPECT_EQ(again.headerStyle, HeaderStyle::Classic);
    EXPECT_EQ(again.patternFrames, 120);
    const ExportSettings other = ExportSettings::load(store, b);
    EXPECT_EQ(other.folderFor(b), dir.filePath("b")) << "another layout keeps its own folder";
    EXPECT_EQ(other.headerStyle, HeaderStyle::Modern);

    // The layout's own folder is not stored, so the export follows the layout when it moves.
    chosen.folder = dir.filePath("a");
    chosen.save(store, a);
    EXPECT_TRUE(ExportSettings::load(store, a).folder.isEmpty());
}

TEST(ExportDialog, ExportsIntoTheChosenFolderAndOffersToOpenIt)
{
    QTemporaryDir dir;
    Application app;
    Document *document = app.newDocument();
    document->view()->addVertex({512, 384});
    EditCommands(document->view()->model()).selectAll();
    document->view()->model()->addFrame();
    QString error;
    ASSERT_TRUE(document->saveTo(dir.filePath("wall.lumora"), &error)) << qPrintable(error);

    document->exportAll();
    auto *dialog = document->window()->findChild<ExportDialog *>();
    ASSERT_TRUE(dialog);
    dialog->findChild<QLineEdit *>("folder")->setText("firmware"); // relative to the layout
    dialog->findChild<QComboBox *>("pattern")->setCurrentIndex(0);
    dialog->findChild<QRadioButton *>("frames")->setChecked(true);
    dialog->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("firmware/images.h")); }, 20000));
    EXPECT_TRUE(QFile::exists(dir.filePath("firmware/frame001.ppm")));
    EXPECT_FALSE(QFile::exists(dir.filePath("images.h")));

    auto *open = document->window()->findChild<QToolButton *>("openExportFolder");
    ASSERT_TRUE(open);
    EXPECT_FALSE(open->isHidden());
    EXPECT_TRUE(document->window()->statusBar()->currentMessage().contains(QDir::toNativeSeparators(dir.filePath("firmware"))));

    // The next export of this layout starts in the same folder.
    QTest::qWait(50);
    document->exportAll();
    dialog = document->window()->findChild<ExportDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->folder(), QDir(dir.filePath("firmware")).absolutePath());
    dialog->reject();
    QTest::qWait(20);
    delete document;
}
