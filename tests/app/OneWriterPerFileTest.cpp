// One writer per file: two documents or two processes on one file, and recovery files of
// live and finished processes. The second process is a real one holding a real lock.
#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentLock.h"
#include "document/DocumentModel.h"
#include "editor/View.h"

#include "../support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

const QString storedLayout = QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora");

/// Another process holding the lock of a file until it is killed.
struct OtherProcess {
    QProcess process;

    explicit OtherProcess(const QString &fileName)
    {
        process.start(QStringLiteral(LUMORA_HOLD_LOCK), {fileName});
        EXPECT_TRUE(process.waitForReadyRead(10000)) << process.readAllStandardError().toStdString();
        EXPECT_EQ(process.readAllStandardOutput().trimmed(), "locked");
    }
    /// Dies without cleaning up, as a crash would: the lock file stays behind.
    void crash()
    {
        process.kill();
        process.waitForFinished();
    }
    ~OtherProcess()
    {
        if (process.state() != QProcess::NotRunning)
            crash();
    }
};

QString copyOfStoredLayout(const QTemporaryDir &folder, const QString &name = "layout.lumora")
{
    const QString fileName = folder.filePath(name);
    writeTestFile(fileName, testFileBytes(storedLayout));
    return fileName;
}

} // namespace

TEST(OneWriterPerFile, ASecondDocumentOnTheFileIsRefusedOrReadOnly)
{
    QTemporaryDir folder;
    const QString fileName = copyOfStoredLayout(folder);
    QString error;
    std::unique_ptr<Document> first(Document::open(fileName, &error));
    ASSERT_TRUE(first);
    EXPECT_TRUE(QFileInfo::exists(DocumentLock::lockFileName(fileName)));

    EXPECT_EQ(Document::open(fileName, &error), nullptr);
    EXPECT_TRUE(error.contains("read-only")) << error.toStdString();

    // Read-only: the file is never written, Save says why, Save As elsewhere is allowed.
    std::unique_ptr<Document> second(Document::open(fileName, &error, true));
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->isReadOnly());
    EXPECT_TRUE(second->window()->windowTitle().contains("(read-only)"));
    const QByteArray before = testFileBytes(fileName);
    second->view()->addVertex({700, 500});
    QTest::qWait(2500);
    EXPECT_EQ(testFileBytes(fileName), before) << "a read-only document autosaved";
    EXPECT_FALSE(second->saveTo(fileName, &error));
    EXPECT_TRUE(error.contains("read-only")) << error.toStdString();

    // Save As onto the file the first document has open is refused too.
    std::unique_ptr<Document> third(Document::open(copyOfStoredLayout(folder, "other.lumora"), &error));
    ASSERT_TRUE(third);
    EXPECT_FALSE(third->saveTo(fileName, &error));
    EXPECT_EQ(testFileBytes(fileName), before);

    const QString copy = folder.filePath("copy.lumora");
    ASSERT_TRUE(second->saveTo(copy, &error)) << error.toStdString();
    EXPECT_FALSE(second->isReadOnly());
    EXPECT_TRUE(QFileInfo::exists(DocumentLock::lockFileName(copy)));

    // Closing lets go of the lock, and so does Save As to another file.
    first.reset();
    EXPECT_FALSE(QFileInfo::exists(DocumentLock::lockFileName(fileName)));
    ASSERT_TRUE(third->saveTo(folder.filePath("moved.lumora"), &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(DocumentLock::lockFileName(folder.filePath("other.lumora"))));
    std::unique_ptr<Document> again(Document::open(fileName, &error));
    EXPECT_TRUE(again) << error.toStdString();
}

TEST(OneWriterPerFile, AFileLockedByALiveProcessIsRefusedAndTakenOverOnceItIsGone)
{
    QTemporaryDir folder;
    const QString fileName = copyOfStoredLayout(folder);
    OtherProcess other(fileName);
    QString error;
    EXPECT_TRUE(DocumentLock::isHeldElsewhere(fileName));
    EXPECT_EQ(Document::open(fileName, &error), nullptr);
    EXPECT_TRUE(error.contains(QString::number(other.process.processId()))) << error.toStdString();

    std::unique_ptr<Document> elsewhere(Document::open(copyOfStoredLayout(folder, "mine.lumora"), &error));
    ASSERT_TRUE(elsewhere);
    EXPECT_FALSE(elsewhere->saveTo(fileName, &error));

    // The editor says so and offers Open Read-Only.
    Application app;
    QTimer::singleShot(200, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Open)->click();
    });
    std::unique_ptr<Document> readOnly(app.openDocument(fileName));
    ASSERT_TRUE(readOnly);
    EXPECT_TRUE(readOnly->isReadOnly());
    readOnly.reset();

    other.crash();
    ASSERT_TRUE(QFileInfo::exists(DocumentLock::lockFileName(fileName))) << "the crash left no stale lock";
    EXPECT_FALSE(DocumentLock::isHeldElsewhere(fileName));
    std::unique_ptr<Document> document(Document::open(fileName, &error));
    EXPECT_TRUE(document) << error.toStdString();
}

TEST(OneWriterPerFile, OnlyTheRecoveryFilesOfProcessesThatAreGoneAreOfferedOrDeleted)
{
    QDir().mkpath(Document::recoveryFolder());
    const QString live = Document::recoveryFolder() + "/untitled-live.lumora";
    const QString dead = Document::recoveryFolder() + "/untitled-dead.lumora";
    writeTestFile(live, testFileBytes(storedLayout));
    writeTestFile(dead, testFileBytes(storedLayout));
    OtherProcess running(live);
    {
        OtherProcess crashed(dead);
        crashed.crash();
    }
    // Untitled work of this very process, kept by autosave.
    Document untitled;
    untitled.view()->addVertex({10, 10});
    QTest::qWait(2500);
    const QStringList mine = Document::recoveryFiles();
    ASSERT_EQ(mine.size(), 3);

    EXPECT_EQ(Document::orphanedRecoveryFiles(), QStringList{dead});
    EXPECT_EQ(Document::recover(live), nullptr);
    EXPECT_FALSE(Document::discardOrphanedRecovery(live));
    EXPECT_TRUE(QFileInfo::exists(live));

    std::unique_ptr<Document> recovered(Document::recover(dead));
    ASSERT_TRUE(recovered);
    EXPECT_TRUE(Document::orphanedRecoveryFiles().isEmpty()) << "recovered work is live again";
    recovered.reset();
    EXPECT_TRUE(Document::discardOrphanedRecovery(dead));
    EXPECT_FALSE(QFileInfo::exists(dead));
    QFile::remove(live);
}
