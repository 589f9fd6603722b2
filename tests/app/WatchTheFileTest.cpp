// What others do to an open document's file, seen in the real event loop: changed bytes
// (reload or keep mine), the file moved or deleted, and this document's own saves.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentFile.h"
#include "document/DocumentModel.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include "../support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// Answers every message box that comes up with the button, and counts them.
struct Answerer {
    QMessageBox::StandardButton button;
    int asked = 0;
    QTimer timer;

    explicit Answerer(QMessageBox::StandardButton answer)
        : button(answer)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                ++asked;
                box->button(button)->click();
            }
        });
        timer.start(50);
    }
};

struct OpenLayout {
    QTemporaryDir folder;
    QString fileName = folder.filePath("layout.lumora");
    std::unique_ptr<Document> document;

    OpenLayout()
    {
        writeTestFile(fileName, testFileBytes(QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora")));
        QString error;
        document.reset(Document::open(fileName, &error));
        EXPECT_TRUE(document) << error.toStdString();
    }
    qsizetype leds() const { return document->model()->ledCount(); }
};

/// The stored layout as another program might write it: one LED.
const QByteArray oneLed = "Point points[1] =\n{\n1.000000,2.000000,\n};\n";

} // namespace

TEST(WatchTheFile, ItsOwnSavesAskNothing)
{
    OpenLayout layout;
    Answerer answerer(QMessageBox::No);
    layout.document->view()->addVertex({700, 500});
    QTest::qWait(3000); // autosave, then the watcher settles
    EXPECT_FALSE(layout.document->isModified());
    EXPECT_EQ(answerer.asked, 0);
    QString error;
    ASSERT_TRUE(layout.document->revertToSaved(&error)) << error.toStdString();
    QTest::qWait(500);
    EXPECT_EQ(answerer.asked, 0);
}

// Another program writes one LED. With nothing unsaved here it is taken without a question
// (and undo brings this version back); with unsaved changes the answer decides, Enter
// taking theirs, and the other side is kept as a version either way.
TEST(WatchTheFile, AnotherProgramsSaveIsTakenOrAskedAboutAndNeitherSideIsLost)
{
    {
        OpenLayout layout;
        Answerer answerer(QMessageBox::No);
        writeTestFile(layout.fileName, oneLed);
        QTest::qWait(800);
        EXPECT_EQ(answerer.asked, 0);
        EXPECT_EQ(layout.leds(), 1);
        EXPECT_FALSE(layout.document->isModified());
        layout.document->undoManager()->undo();
        EXPECT_EQ(layout.leds(), 2);
    }
    for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
        const bool theirs = answer == QMessageBox::Yes;
        OpenLayout layout;
        layout.document->view()->addVertex({700, 500});
        const QByteArray mine = layout.document->data();
        Answerer answerer(answer);
        writeTestFile(layout.fileName, oneLed);
        QTest::qWait(800);
        EXPECT_EQ(answerer.asked, 1);
        EXPECT_EQ(layout.leds(), theirs ? 1 : 3);
        QTest::qWait(2500); // Keep Mine saves as usual; Use Theirs writes nothing
        EXPECT_EQ(testFileBytes(layout.fileName), theirs ? oneLed : mine);
        EXPECT_FALSE(layout.document->isModified());
        EXPECT_EQ(answerer.asked, 1) << "its own save was taken for another change";
        const auto versions = layout.document->file()->versions();
        ASSERT_FALSE(versions.isEmpty());
        EXPECT_TRUE(std::any_of(versions.begin(), versions.end(), [&](const DocumentVersions::Version &version) {
            return DocumentVersions::read(version) == (theirs ? mine : oneLed);
        })) << "the losing side was not kept";
    }
}

TEST(WatchTheFile, EnterInTheQuestionTakesTheOtherProgramsSave)
{
    OpenLayout layout;
    layout.document->view()->addVertex({700, 500});
    QTimer::singleShot(700, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Return);
    });
    writeTestFile(layout.fileName, oneLed);
    QTest::qWait(1200);
    EXPECT_EQ(layout.leds(), 1);
    QTest::qWait(2500);
    EXPECT_EQ(testFileBytes(layout.fileName), oneLed);
}

TEST(WatchTheFile, AFileMovedAwayIsNotRecreatedByAutosave)
{
    OpenLayout layout;
    Answerer answerer(QMessageBox::Cancel);
    const qsizetype recoveries = Document::recoveryFiles().size();
    const QString moved = layout.folder.filePath("renamed.lumora");
    ASSERT_TRUE(QFile::rename(layout.fileName, moved));
    QTest::qWait(800);
    EXPECT_EQ(answerer.asked, 1);
    EXPECT_TRUE(layout.document->isFileGone());
    EXPECT_TRUE(layout.document->window()->windowTitle().contains("moved or deleted"));

    layout.document->view()->addVertex({700, 500});
    QTest::qWait(2500);
    EXPECT_FALSE(QFileInfo::exists(layout.fileName)) << "autosave re-created the old path";
    EXPECT_EQ(Document::recoveryFiles().size(), recoveries + 1) << "the work is kept meanwhile";

    // Deleting is told the same way; saving elsewhere ends it.
    QString error;
    const QString saved = layout.folder.filePath("saved.lumora");
    ASSERT_TRUE(layout.document->saveTo(saved, &error)) << error.toStdString();
    EXPECT_FALSE(layout.document->isFileGone());
    ASSERT_TRUE(QFile::remove(saved));
    QTest::qWait(800);
    EXPECT_EQ(answerer.asked, 2);
    EXPECT_TRUE(layout.document->isFileGone());
}
