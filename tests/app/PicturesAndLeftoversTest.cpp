// Opening a layout whose pictures moved (told once, then relinked) or whose last save was
// interrupted (the newer work offered back).
#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentModel.h"
#include "editor/View.h"

#include "../support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// The visible message boxes of the window that are not modal (reports).
QList<QMessageBox *> reportsOf(QWidget *window)
{
    QList<QMessageBox *> boxes = window->findChildren<QMessageBox *>();
    boxes.removeIf([](QMessageBox *box) { return !box->isVisible(); });
    return boxes;
}

void answerNext(QMessageBox::StandardButton button)
{
    QTimer::singleShot(200, [button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(button)->click();
    });
}

} // namespace

TEST(Pictures, AMissingPictureIsToldOnceAndRelinkedWithTheFramesNamingIt)
{
    QTemporaryDir folder;
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(folder.filePath("art.png")));
    const QString fileName = folder.filePath("layout.lumora");
    {
        Document document;
        Document::pictureChooser() = [&](QWidget *, const QString &) { return QStringList{folder.filePath("art.png")}; };
        document.addPictures();
        document.view()->addVertex({10, 10});
        document.model()->addFrame();
        QString error;
        ASSERT_TRUE(document.saveTo(fileName, &error)) << error.toStdString();
    }
    ASSERT_TRUE(QDir(folder.path()).mkdir("pictures"));
    ASSERT_TRUE(QFile::rename(folder.filePath("art.png"), folder.filePath("pictures/art.png")));

    Application app;
    Document *document = app.openDocument(fileName);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->missingPictures(), QList<QUrl>{QUrl("art.png")});
    const QList<QMessageBox *> reports = reportsOf(document->window());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports.first()->informativeText().contains(folder.filePath("art.png")));

    Document::relinkChooser() = [&](QWidget *, const QString &missing, const QString &) {
        EXPECT_EQ(missing, "art.png");
        return folder.filePath("pictures/art.png");
    };
    ASSERT_TRUE(document->relinkPicture(QUrl("art.png")));
    EXPECT_TRUE(document->missingPictures().isEmpty());
    EXPECT_EQ(document->model()->images(), QList<QUrl>{QUrl("pictures/art.png")});
    ASSERT_FALSE(document->model()->frames().isEmpty());
    EXPECT_EQ(document->model()->frames().first()->url, QUrl("pictures/art.png"));
    EXPECT_TRUE(document->model()->bitmap()) << "the background shows the relinked picture";
    EXPECT_TRUE(document->isModified());
    ASSERT_TRUE(document->save());
    EXPECT_TRUE(testFileBytes(fileName).contains("\"pictures/art.png\""));
    delete document;
}

TEST(Leftovers, TheWorkOfAnInterruptedSaveIsRecoveredOrRemoved)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath("layout.lumora");
    const QByteArray stored = testFileBytes(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora");
    writeTestFile(fileName, stored);
    const QString leftover = fileName + ".Ab12Cd";
    auto leaveNewerWork = [&] {
        writeTestFile(leftover, "Point points[1] =\n{\n1.000000,2.000000,\n};\n");
        QFile file(leftover);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QFileInfo(fileName).lastModified().addSecs(60), QFileDevice::FileModificationTime);
    };
    Application app;

    leaveNewerWork();
    answerNext(QMessageBox::Open);
    std::unique_ptr<Document> recovered(app.openDocument(fileName));
    ASSERT_TRUE(recovered);
    EXPECT_EQ(recovered->model()->ledCount(), 1);
    EXPECT_TRUE(recovered->isModified()) << "recovered work is unsaved work";
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_EQ(testFileBytes(fileName), stored);
    recovered.reset();

    leaveNewerWork();
    answerNext(QMessageBox::Discard);
    std::unique_ptr<Document> declined(app.openDocument(fileName));
    ASSERT_TRUE(declined);
    EXPECT_EQ(declined->model()->ledCount(), 2);
    EXPECT_FALSE(declined->isModified());
    EXPECT_FALSE(QFileInfo::exists(leftover));
}
