// Details a new user meets in the first hour: pictures opened as layouts, the grid of an
// opened layout, the help window, the LEDs' looks between modes and the start marker.
#include "app/Application.h"
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/HelpWindow.h"
#include "document/DocumentModel.h"
#include "editor/LedToolTip.h"
#include "editor/View.h"

#include <QFile>
#include <QImage>
#include <QStatusBar>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

TEST(FirstHour, APictureOpensAsTheBackdropOfANewLayout)
{
    QTemporaryDir dir;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(dir.filePath("wall.png")));
    // A picture is recognised by its content, whatever its name; a layout never is one.
    ASSERT_TRUE(QFile::copy(dir.filePath("wall.png"), dir.filePath("wall-picture")));
    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    EXPECT_TRUE(Application::isPictureFile(dir.filePath("wall.png")));
    EXPECT_TRUE(Application::isPictureFile(dir.filePath("wall-picture")));
    EXPECT_FALSE(Application::isPictureFile(dir.filePath("notes.png")));
    EXPECT_FALSE(Application::isPictureFile(QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora")));

    Application app;
    Document *empty = app.newDocument();
    Document *document = app.newLayoutWithPicture(dir.filePath("wall.png"));
    EXPECT_EQ(document, empty) << "the empty untitled window is used";
    EXPECT_EQ(document->model()->images().size(), 1);
    EXPECT_EQ(document->model()->backgroundUrl(), QUrl::fromLocalFile(dir.filePath("wall.png")));

    // With that window in use, the next picture gets a window of its own.
    Document *second = app.newLayoutWithPicture(dir.filePath("wall-picture"));
    EXPECT_NE(second, document);
    EXPECT_EQ(app.documents().size(), 2);
    delete second;
    delete document;
}

TEST(FirstHour, ALayoutWithAGridOpensWithTheGridShownAndTheStartMarkerExplained)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("two.lumora");
    QFile::copy(QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora"), fileName);
    QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    std::unique_ptr<Document> document(Document::open(fileName, &error));
    ASSERT_TRUE(document) << qPrintable(error);
    document->showWindow();
    View *view = document->view();
    EXPECT_TRUE(view->isGridShown());

    const QPolygonF marker = view->layoutPainter().startMarker(view->layoutTransform());
    ASSERT_FALSE(marker.isEmpty());
    const QPointF onMarker = view->layoutTransform().inverted().map(marker.boundingRect().center());
    EXPECT_TRUE(ledToolTip(*view, onMarker).startsWith("Start of the LED order")) << qPrintable(ledToolTip(*view, onMarker));
    EXPECT_TRUE(ledToolTip(*view, {900, 700}).isEmpty());
}

TEST(FirstHour, EditModesShowNoStalePreviewColoursAndColorsRingsStandOut)
{
    QTemporaryDir dir;
    QImage white(64, 48, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(dir.filePath("white.png")));
    Document document;
    View *view = document.view();
    const NodePtr a = view->addVertex({512, 384}), b = view->addVertex({600, 384});
    view->model()->markLed(b);
    ASSERT_TRUE(view->model()->setBackgroundFile(QUrl::fromLocalFile(dir.filePath("white.png"))));
    view->transforms().fitGrid();
    document.showWindow();

    view->setMode("Colors");
    ASSERT_TRUE(QTest::qWaitFor([&] { view->tick(); return view->ledFill(0) == QColor(Qt::white); }, 5000));
    EXPECT_EQ(view->ledRing(0), QColor(Qt::black)) << "a white ring would vanish on white";
    EXPECT_EQ(view->ledRing(1), QColor(Qt::red)) << "the marking stays red";
    EXPECT_EQ(View::contrastingRing(Qt::black), QColor(Qt::white));
    EXPECT_EQ(View::contrastingRing(QColor(255, 255, 0)), QColor(Qt::black));

    view->setMode("Preview");
    view->setMode("Select");
    EXPECT_EQ(view->ledFill(0), QColor(Qt::black));
    EXPECT_EQ(view->ledRing(0), QColor(Qt::white));
    EXPECT_EQ(view->ledRing(1), QColor(Qt::red));
}

TEST(FirstHour, HelpWithoutABrowserOpensInAWindowOfItsOwn)
{
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("BROWSER", "");
    qputenv("PATH", "/nonexistent"); // neither xdg-open nor xdg-mime
    EXPECT_FALSE(HelpWindow::hasWebBrowser());
    HelpWindow *window = HelpWindow::showHelp(helpPage());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Lumora Help");
    EXPECT_TRUE(window->toPlainText().contains("Placing LEDs"));
    EXPECT_EQ(HelpWindow::showHelp(helpPage()), window) << "one help window";
    window->close();
    qputenv("PATH", path);
    qputenv("BROWSER", browser);
}
