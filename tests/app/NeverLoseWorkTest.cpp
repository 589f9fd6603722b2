// Closing, Revert to Saved and failing autosaves, in the real event loop.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/Model.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A copy of a stored layout in a folder of its own, open in a window.
struct Layout {
    QTemporaryDir folder;
    QString fileName = folder.filePath("layout.lumora");
    QByteArray original;
    Document *document = nullptr;

    Layout()
    {
        QFile::copy(QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora"), fileName);
        QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
        original = contents(fileName);
        QString error;
        document = Document::open(fileName, &error);
        EXPECT_NE(document, nullptr) << error.toStdString();
        document->showWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(document->window()));
    }
    ~Layout() { delete document; }
    void edit() { document->view()->addVertex({700, 500}); }
};

/// Answers the next message box with the button, after the wait.
void answerLater(QMessageBox::StandardButton button, int milliseconds)
{
    QTimer::singleShot(milliseconds, [button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

} // namespace

TEST(NeverLoseWork, ClosingATitledWindowAsksNothingAndTheFileHoldsTheChanges)
{
    auto layout = std::make_unique<Layout>();
    const QString fileName = layout->fileName;
    const qsizetype leds = layout->document->model()->ledCount();
    layout->edit();
    QTest::qWait(2500); // autosave writes the first edit
    layout->edit();     // the second is not written yet when the window closes
    int asked = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ++asked;
            box->reject();
        }
    });
    watch.start(20);
    QPointer<Document> document = layout->document;
    EXPECT_TRUE(layout->document->window()->close());
    EXPECT_EQ(asked, 0);
    QTest::qWait(100);
    EXPECT_TRUE(document.isNull()) << "the window closed without its document";
    layout->document = nullptr;
    Model saved;
    ASSERT_TRUE(readDocumentFile(fileName, saved).ok);
    EXPECT_EQ(saved.points.size(), leds + 2) << "both new LEDs are in the file";
    layout.reset();
    watch.stop();

    // Untitled work still asks.
    auto *untitled = new Document();
    untitled->showWindow();
    untitled->view()->addVertex({700, 500});
    answerLater(QMessageBox::Cancel, 300);
    EXPECT_FALSE(untitled->window()->close());
    answerLater(QMessageBox::Discard, 300);
    EXPECT_TRUE(untitled->window()->close());
}

TEST(NeverLoseWork, RevertToSavedGoesBackToTheSavedFileAndUndoBringsTheWorkBack)
{
    Layout layout;
    const qsizetype leds = layout.document->model()->ledCount();
    layout.edit();
    ASSERT_TRUE(layout.document->save());
    layout.edit();
    QTest::qWait(2500);
    QString error;
    ASSERT_TRUE(layout.document->revertToSaved(&error)) << error.toStdString();
    EXPECT_EQ(layout.document->model()->ledCount(), leds + 1);
    EXPECT_FALSE(layout.document->isModified()) << "the revert is written at once";
    layout.document->undoManager()->undo();
    EXPECT_EQ(layout.document->model()->ledCount(), leds + 2);
}

TEST(NeverLoseWork, AFailedAutosaveIsShownKeptAndRetried)
{
    Layout layout;
    // The document's folder turns into a file: nothing can be written there any more.
    const QString folder = layout.folder.path();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList recoveriesBefore = Document::recoveryFiles();

    layout.edit();
    QTest::qWait(2500);
    EXPECT_FALSE(layout.document->autosaveError().isEmpty());
    EXPECT_TRUE(layout.document->isModified());
    EXPECT_TRUE(layout.document->window()->windowTitle().contains("not saved"));
    EXPECT_EQ(Document::recoveryFiles().size(), recoveriesBefore.size() + 1);

    // Once the folder is back, the retry saves and the recovery copy goes.
    QFile::remove(folder);
    ASSERT_TRUE(QDir().mkpath(folder));
    QTest::qWait(10500);
    EXPECT_TRUE(layout.document->autosaveError().isEmpty());
    EXPECT_FALSE(layout.document->isModified());
    EXPECT_EQ(Document::recoveryFiles().size(), recoveriesBefore.size());
    QFile::remove(layout.fileName);
}
