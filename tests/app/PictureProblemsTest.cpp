// What the user is told about pictures that cannot be shown as they are, and about lines of a
// layout the reader changed: a status line and a list that does not stop the work.
#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentModel.h"

#include "../support/TestFiles.h"

#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace lumora;

namespace {

/// The text of the visible, non-modal report of that title; empty when there is none.
QString report(QWidget *window, const QString &title)
{
    for (QMessageBox *box : window->findChildren<QMessageBox *>())
        if (box->isVisible() && box->windowTitle() == title && box->windowModality() == Qt::NonModal)
            return box->text() + '\n' + box->informativeText();
    return {};
}

QString status(DocumentWindow *window)
{
    return window->statusBar()->currentMessage();
}

} // namespace

// A truncated JPEG exported grey and showed grey, and nobody said a word.
TEST(PictureProblems, DamagedAndUnreadablePicturesAreToldInTheWindow)
{
    QTemporaryDir dir;
    QImage image(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, y, (x ^ y) & 0xFF));
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&jpeg, "jpg"));
    const QString cut = writeTestFile(dir.filePath("cut.jpg"), jpeg.data().left(jpeg.data().size() * 2 / 3));
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    Document document;
    const auto chooser = Document::pictureChooser();
    Document::pictureChooser() = [&](QWidget *, const QString &) { return QStringList{cut, fifo}; };
    document.addPictures(); // the first becomes the background
    DocumentWindow *window = document.window();
    // (QTRY_ macros only return on failure under GoogleTest; qWaitFor's result is checked.)
    EXPECT_TRUE(QTest::qWaitFor([&] { return report(window, "Picture Problems").contains("cut.jpg is damaged"); }, 5000))
        << qPrintable(report(window, "Picture Problems"));
    EXPECT_TRUE(status(window).contains("damaged")) << qPrintable(status(window));
    ASSERT_TRUE(document.model()->background()) << "what decoded is still shown";

    window->selectPicture(1);
    const QString both = report(window, "Picture Problems");
    EXPECT_TRUE(both.contains("cut.jpg is damaged") && both.contains("pipe.png")) << qPrintable(both);
    EXPECT_EQ(both.count("cut.jpg"), 1) << "each problem is told once";
    EXPECT_TRUE(status(window).contains("pipe.png")) << qPrintable(status(window));
    Document::pictureChooser() = chooser;
}

TEST(PictureProblems, LinesTheReaderChangedAreToldOnOpening)
{
    QTemporaryDir dir;
    const QString fileName = writeTestFile(dir.filePath("layout.lumora"),
                                           "Point points[2] =\n{\n1e999,5,\n3,4,\nseven\n};\n");
    Application app;
    Document *document = app.openDocument(fileName);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->model()->ledCount(), 2) << "the file still opens";
    const QString told = report(document->window(), "Problems Reading the Layout");
    EXPECT_TRUE(told.contains("layout.lumora") && told.contains("line 3:") && told.contains("line 5:"))
        << qPrintable(told);
    EXPECT_TRUE(status(document->window()).startsWith("line 3:")) << qPrintable(status(document->window()));
    EXPECT_TRUE(status(document->window()).contains("1 more")) << qPrintable(status(document->window()));
}
