// The life of a document's file without a window: closing, versions, reverting, other
// programs' saves racing autosave, and one lock per file however it is named.
#include "document/DocumentFile.h"
#include "document/DocumentLock.h"
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentVersions.h"
#include "document/Model.h"
#include "document/UndoManager.h"

#include "../support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "document_tests";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

const QByteArray twoLeds = "Point points[2] =\n{\n100.000000,200.000000,\n150.500000,200.000000,\n};\n";

QByteArray leds(int count)
{
    QByteArray bytes = "Point points[" + QByteArray::number(count) + "] =\n{\n";
    for (int i = 0; i < count; ++i)
        bytes += QByteArray::number(10 + i) + ".000000,20.000000,\n";
    return bytes + "};\n";
}

qsizetype ledsIn(const QByteArray &bytes)
{
    Model model;
    EXPECT_TRUE(readDocument(bytes, model).ok);
    return model.points.size();
}

struct OpenFile {
    QTemporaryDir folder;
    QString fileName = folder.filePath("layout.lumora");
    std::unique_ptr<DocumentFile> file;

    explicit OpenFile(const QByteArray &bytes = twoLeds)
    {
        ensureApplication();
        writeTestFile(fileName, bytes);
        QString error;
        file.reset(DocumentFile::open(fileName, &error));
        EXPECT_TRUE(file) << error.toStdString();
    }
    void addLed() { file->model()->addLed(std::make_shared<Node>()); }
    qsizetype count() const { return file->model()->ledCount(); }
    QList<DocumentVersions::Kind> kinds() const
    {
        QList<DocumentVersions::Kind> kinds;
        for (const auto &version : file->versions())
            kinds.append(version.kind);
        return kinds;
    }
};

using Kind = DocumentVersions::Kind;

} // namespace

TEST(FileLifecycle, ATitledDocumentClosesWithoutAQuestionKeepingItsChanges)
{
    OpenFile open;
    open.addLed();
    EXPECT_TRUE(open.file->closesWithoutAsking());
    QString error;
    ASSERT_TRUE(open.file->autosave(&error)) << error.toStdString();
    EXPECT_EQ(ledsIn(testFileBytes(open.fileName)), 3) << "closing reverted or lost the change";
    EXPECT_FALSE(open.file->isModified());

    DocumentFile untitled;
    untitled.model()->addLed(std::make_shared<Node>());
    EXPECT_FALSE(untitled.closesWithoutAsking());
    EXPECT_FALSE(untitled.autosave()) << "untitled work has no file of its own";
    untitled.discardRecovery();
}

TEST(FileLifecycle, VersionsAreKeptAsOpenedOnSaveAndNowAndThenWhileEditing)
{
    OpenFile open;
    open.addLed();
    ASSERT_TRUE(open.file->autosave());
    // The file as opened, before the first autosave wrote over it; nothing more yet.
    ASSERT_EQ(open.kinds(), QList<Kind>{Kind::Opened});
    EXPECT_EQ(DocumentVersions::read(open.file->versions().first()), twoLeds);
    open.addLed();
    ASSERT_TRUE(open.file->autosave());
    EXPECT_EQ(open.kinds().size(), 1) << "a version within ten minutes of the last one";

    open.file->setVersionInterval(0);
    open.addLed();
    ASSERT_TRUE(open.file->autosave());
    QString error;
    open.addLed();
    ASSERT_TRUE(open.file->saveTo(open.fileName, &error)) << error.toStdString();
    EXPECT_EQ(open.kinds(), (QList<Kind>{Kind::Saved, Kind::Edited, Kind::Opened}));
    EXPECT_EQ(ledsIn(DocumentVersions::read(open.file->versions().first())), 6);
}

TEST(FileLifecycle, PruningKeepsTheNewestTwentyTheLastDayAndTheLastOpenedAndSaved)
{
    ensureApplication();
    QTemporaryDir folder;
    DocumentVersions versions(folder.filePath("pruned.lumora"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime old = now.addDays(-3);
    ASSERT_TRUE(versions.add("opened", Kind::Opened, nullptr, old));
    ASSERT_TRUE(versions.add("saved", Kind::Saved, nullptr, old.addSecs(60)));
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(versions.add(QByteArray::number(i), Kind::Edited, nullptr, old.addSecs(3600 + i * 60)));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(versions.add("recent", Kind::Edited, nullptr, now.addSecs(-3600 * (i + 1))));
    versions.prune(now);
    const QList<DocumentVersions::Version> kept = versions.list();
    // 5 of today and the 15 newest older ones make 20; the last opened and saved stay too.
    ASSERT_EQ(kept.size(), 22);
    EXPECT_EQ(DocumentVersions::read(kept.at(5)), "24");
    EXPECT_EQ(DocumentVersions::read(kept.at(19)), "10");
    EXPECT_EQ(kept.at(20).kind, Kind::Saved);
    EXPECT_EQ(kept.at(21).kind, Kind::Opened);
    for (qsizetype i = 1; i < kept.size(); ++i)
        EXPECT_GE(kept.at(i - 1).time, kept.at(i).time) << "listed newest first";

    // Kept by the file's path, whatever path it was named by; another file has its own.
    EXPECT_EQ(DocumentVersions(QDir(folder.path()).filePath("./pruned.lumora")).list().size(), 22);
    EXPECT_TRUE(DocumentVersions(folder.filePath("other.lumora")).list().isEmpty());

    // Opening it again unchanged adds nothing; a changed file is kept again.
    ASSERT_TRUE(versions.add("opened", Kind::Opened, nullptr, now));
    EXPECT_EQ(versions.list().size(), 22);
    ASSERT_TRUE(versions.add("opened, changed", Kind::Opened, nullptr, now));
    EXPECT_EQ(DocumentVersions::read(versions.newest(Kind::Opened)), "opened, changed");
}

TEST(FileLifecycle, RevertingIsOneUndoStepAndKeepsWhatWasThere)
{
    OpenFile open;
    open.addLed();
    ASSERT_TRUE(open.file->autosave());
    open.addLed();
    QString error;
    ASSERT_TRUE(open.file->revertToOpened(&error)) << error.toStdString();
    EXPECT_EQ(open.count(), 2);
    EXPECT_EQ(ledsIn(testFileBytes(open.fileName)), 2) << "the revert is written at once";
    const auto versions = open.file->versions();
    ASSERT_FALSE(versions.isEmpty());
    EXPECT_EQ(versions.first().kind, Kind::BeforeRevert);
    EXPECT_EQ(ledsIn(DocumentVersions::read(versions.first())), 4);

    open.file->undoManager()->undo();
    EXPECT_EQ(open.count(), 4) << "undo brings the work back";
    ASSERT_TRUE(open.file->autosave());
    EXPECT_EQ(ledsIn(testFileBytes(open.fileName)), 4);
    open.file->undoManager()->undo();
    EXPECT_EQ(open.count(), 3) << "earlier steps still apply to the LEDs brought back";

    // A kept version, and Last Saved: the file as opened until an explicit save.
    ASSERT_TRUE(open.file->revertToVersion(versions.first(), &error)) << error.toStdString();
    EXPECT_EQ(open.count(), 4);
    ASSERT_TRUE(open.file->revertToSaved(&error));
    EXPECT_EQ(open.count(), 2);
}

// Another program saves at moments around the autosave, over and over, with the real
// timers: its save is never written over. With unsaved changes it is a question
// (resolved both ways in turn); without, it is taken and undo brings the old one back.
TEST(FileLifecycle, AnotherProgramsSaveJustBeforeAnAutosaveIsNeverOverwritten)
{
    constexpr int delay = 150;
    for (int trial = 0; trial < 8; ++trial) {
        OpenFile open;
        open.file->setAutosaveDelay(delay);
        QSignalSpy conflicts(open.file.get(), &DocumentFile::conflict);
        QSignalSpy reloads(open.file.get(), &DocumentFile::reloaded);
        const QByteArray theirs = leds(7 + trial);
        open.addLed(); // the autosave is due `delay` ms from now
        QTest::qWait(delay - 60 + trial * 20); // from 60 ms before it to 80 ms after
        writeTestFile(open.fileName, theirs);
        QTest::qWait(delay + 200);
        ASSERT_EQ(testFileBytes(open.fileName), theirs) << "trial " << trial << ": their save was overwritten";
        ASSERT_EQ(conflicts.size() + reloads.size(), 1) << "trial " << trial;
        if (reloads.size() == 1) {
            // The autosave came first: nothing was unsaved any more, so theirs was taken.
            EXPECT_EQ(open.count(), 7 + trial);
            EXPECT_FALSE(open.file->isModified());
            open.file->undoManager()->undo();
            EXPECT_EQ(open.count(), 3);
            continue;
        }
        EXPECT_TRUE(open.file->hasConflict());
        const bool keepMine = trial % 2;
        QString error;
        ASSERT_TRUE(open.file->resolveConflict(keepMine ? DocumentFile::Resolution::KeepMine
                                                        : DocumentFile::Resolution::TakeTheirs,
                                               &error))
            << error.toStdString();
        EXPECT_EQ(ledsIn(testFileBytes(open.fileName)), keepMine ? 3 : 7 + trial);
        const auto versions = open.file->versions();
        const auto kept = std::find_if(versions.begin(), versions.end(), [&](const auto &version) {
            return version.kind == (keepMine ? Kind::OtherProgram : Kind::BeforeReload);
        });
        ASSERT_NE(kept, versions.end()) << "the losing side was not kept";
        EXPECT_EQ(ledsIn(DocumentVersions::read(*kept)), keepMine ? 7 + trial : 3);
        if (!keepMine) {
            open.file->undoManager()->undo();
            EXPECT_EQ(open.count(), 3);
        }
    }
}

TEST(FileLifecycle, TheSameFileThroughASymbolicLinkIsInUse)
{
    ensureApplication();
    QTemporaryDir real, elsewhere;
    const QString fileName = writeTestFile(real.filePath("layout.lumora"), twoLeds);
    const QString link = elsewhere.filePath("link.lumora");
    ASSERT_TRUE(QFile::link(fileName, link));
    QString error;
    std::unique_ptr<DocumentFile> first(DocumentFile::open(link, &error));
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_TRUE(DocumentLock::isHeldElsewhere(fileName));
    EXPECT_EQ(DocumentFile::open(fileName, &error), nullptr);
    EXPECT_TRUE(error.contains("read-only")) << error.toStdString();
    first.reset();
    std::unique_ptr<DocumentFile> second(DocumentFile::open(fileName, &error));
    ASSERT_TRUE(second) << error.toStdString();
    EXPECT_EQ(DocumentFile::open(link, &error), nullptr);
}
