#include "editor/strip/ImageBrowserController.h"
#include "editor/strip/ImageBrowserModel.h"
#include "editor/strip/ImageBrowserThumbnails.h"
#include "editor/strip/ImageBrowserView.h"

#include "document/DocumentReader.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace lumora;

namespace {

/// A strip 200 pixels wide beside a layout editor, over a folder that plays the document's
/// folder: pictures are stored by names relative to it.
struct Strip {
    QTemporaryDir folder;
    DocumentModel model;
    UndoManager &undo = *model.undoManager();
    View view{&model};
    QUrl base = QUrl::fromLocalFile(folder.path() + '/');
    ImageBrowserController strip{&model, [this](const QUrl &url) { return resolvedPictureUrl(url, base); }};

    Strip()
    {
        strip.resize(200, 900);
        strip.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&strip));
    }

    /// Fills the strip the way a document does when it opens.
    void open(const QStringList &names)
    {
        for (const QString &name : names)
            strip.addURL(QUrl(name));
        strip.reloadData();
    }

    /// Writes a picture of the given size under the name.
    void picture(const QString &name, int width = 8, int height = 6, QColor color = Qt::red)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(folder.filePath(name), "PNG"));
    }

    QString names() const
    {
        QStringList list;
        for (const QUrl &url : strip.urls())
            list.append(url.toString());
        return list.join(' ');
    }

    QUrl resolved(const QString &name) const { return base.resolved(QUrl(name)); }
    QWidget *viewport() const { return strip.imageBrowser()->viewport(); }
    QRect rect(int row) const { return strip.imageBrowser()->visualRect(strip.model()->index(row)); }
    /// A point in the gap in front of the row (its upper half, in a single column).
    QPoint gapBefore(int row) const { return rect(row).center() - QPoint(0, rect(row).height() / 4); }

    void click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(viewport(), Qt::LeftButton, modifiers, rect(row).center());
    }

    /// Drags the data in and drops it at the point; whether the drop was taken.
    bool drop(const QMimeData &data, QPoint at)
    {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &drop);
        return drop.isAccepted();
    }

    ThumbnailState thumbnail(int row) const
    {
        return ThumbnailState(strip.model()->index(row).data(ImageBrowserModel::ThumbnailStateRole).toInt());
    }
};

const QStringList letters{"a", "b", "c", "d", "e"};

} // namespace

TEST(ImageBrowserMoves, MovedItemsLandTogetherInTheGapInTheirOrder)
{
    struct Case {
        std::vector<qsizetype> indexes;
        qsizetype destination;
        const char *expected;
    };
    const Case cases[] = {
        {{0, 2}, 4, "b d a c e"},
        {{3, 4}, 0, "d e a b c"},
        {{1}, 2, "a b c d e"},
        {{1}, 1, "a b c d e"},
        {{4, 0}, 5, "b c d a e"},
    };
    for (const Case &c : cases) {
        Strip s;
        s.open(letters);
        QSignalSpy changed(&s.strip, &ImageBrowserController::imagesChanged);
        EXPECT_TRUE(s.strip.moveItemsAtIndexes(c.indexes, c.destination));
        EXPECT_EQ(s.names(), c.expected) << "destination " << c.destination;
        EXPECT_EQ(changed.count(), s.names() == "a b c d e" ? 0 : 1);
    }
}

TEST(ImageBrowserMoves, DraggingThumbnailsReordersAndKeepsSelectionAndBackground)
{
    Strip s;
    for (const QString &name : letters)
        s.picture(name);
    s.open(letters);
    s.click(2);
    s.click(0, Qt::ControlModifier);
    ASSERT_EQ(s.view.model()->backgroundUrl(), s.resolved("c"));
    QSignalSpy changed(&s.strip, &ImageBrowserController::imagesChanged);

    std::unique_ptr<QMimeData> dragged(s.strip.model()->mimeData({s.strip.model()->index(0), s.strip.model()->index(2)}));
    EXPECT_TRUE(s.drop(*dragged, s.gapBefore(4)));

    EXPECT_EQ(s.names(), "b d a c e");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(s.strip.imageBrowser()->selectedRows(), (std::vector<qsizetype>{2, 3}));
    EXPECT_EQ(s.view.model()->backgroundUrl(), s.resolved("c"));
}

TEST(ImageBrowserDrops, UrlsGoInAtTheGapInDragOrderAndNothingElseChanges)
{
    Strip s;
    s.open({"a", "b", "c"});
    QSignalSpy changed(&s.strip, &ImageBrowserController::imagesChanged);

    // Any URL is taken, picture or not.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/pictures/x.png"), QUrl("https://example.org/notes.txt")});
    EXPECT_TRUE(s.drop(files, s.gapBefore(2)));
    EXPECT_EQ(s.names(), "a b file:///pictures/x.png https://example.org/notes.txt c");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(s.view.model()->backgroundUrl().isEmpty());

    // Below the last thumbnail is the end of the strip.
    const QPoint below = s.rect(4).bottomLeft() + QPoint(4, 20);
    EXPECT_EQ(s.strip.imageBrowser()->dropIndexAt(below), 5);

    QMimeData text;
    text.setText("a.png");
    EXPECT_FALSE(s.drop(text, s.gapBefore(1)));
    EXPECT_EQ(s.strip.bitmapCount(), 5);
    EXPECT_EQ(changed.count(), 1);
}

TEST(ImageBrowserDrops, ZoomedOutTheGapFollowsReadingOrder)
{
    Strip s;
    s.open(letters);
    s.strip.setZoomValue(0.4);
    ASSERT_EQ(s.rect(1).top(), s.rect(0).top()) << "two thumbnails to a line";
    const auto at = [&](int row, double across) {
        const QRect r = s.rect(row);
        return QPoint(r.left() + int(r.width() * across), r.center().y());
    };
    const ImageBrowserView *browser = s.strip.imageBrowser();
    EXPECT_EQ(browser->dropIndexAt(at(2, 0.25)), 2);
    EXPECT_EQ(browser->dropIndexAt(at(2, 0.75)), 3);
    EXPECT_EQ(browser->dropIndexAt(at(3, 0.75)), 4);
    EXPECT_EQ(browser->dropIndexAt(at(4, 0.75)), 5);

    // Resizing the window brings back the largest thumbnails, one to a line.
    s.strip.resize();
    EXPECT_EQ(s.strip.zoomValue(), 1.0);
    EXPECT_GT(s.rect(1).top(), s.rect(0).top());
}

TEST(ImageBrowserSelection, TheSelectedPictureFurthestAlongIsTheBackground)
{
    Strip s;
    s.picture("p0.png");
    s.picture("p1.png");
    s.picture("p2.png", 12, 4);
    s.open({"p0.png", "p1.png", "p2.png"});

    // The order of clicking does not matter, only the place in the strip.
    s.click(2);
    s.click(0, Qt::ControlModifier);
    EXPECT_EQ(s.view.model()->backgroundUrl(), s.resolved("p2.png"));
    ASSERT_TRUE(s.view.model()->bitmap());
    EXPECT_EQ(s.view.model()->bitmap()->size(), QSize(12, 4));

    s.click(2, Qt::ControlModifier);
    EXPECT_EQ(s.view.model()->backgroundUrl(), s.resolved("p0.png"));

    s.click(0, Qt::ControlModifier);
    EXPECT_TRUE(s.strip.imageBrowser()->selectedRows().empty());
    EXPECT_TRUE(s.view.model()->backgroundUrl().isEmpty());
    EXPECT_EQ(s.view.model()->background(), nullptr);
}

TEST(ImageBrowserPictures, UnreadablePicturesKeepTheirPlaceWithoutBitmap)
{
    Strip s;
    s.picture("p0.png", 8, 6);
    s.picture("p1.png");
    QFile empty(s.folder.filePath("empty.png"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    s.open({"p0.png", "gone.png", "empty.png", "p1.png"});

    EXPECT_EQ(s.names(), "p0.png gone.png empty.png p1.png");
    EXPECT_EQ(s.strip.bitmapCount(), 4);
    EXPECT_EQ(s.strip.bitmap(0).size(), QSize(8, 6));
    EXPECT_TRUE(s.strip.bitmap(1).isNull());
    EXPECT_TRUE(s.strip.bitmap(2).isNull());
    EXPECT_TRUE(s.strip.bitmap(4).isNull());

    // Thumbnails arrive in the background; the unreadable ones get the placeholder.
    // (Plain pair members, not structured bindings: clang 14 cannot capture those in a lambda.)
    for (const auto &expected : {std::pair{0, ThumbnailState::Ready}, {1, ThumbnailState::Missing}, {2, ThumbnailState::Missing}})
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.thumbnail(expected.first) == expected.second; }, 5000))
            << "row " << expected.first;

    s.click(1);
    EXPECT_TRUE(s.view.model()->backgroundUrl().isEmpty());
}

// A picture replaced on disk stayed stale in the strip and the background.
TEST(ImageBrowserPictures, APictureRewrittenOnDiskIsShownAnewInTheStripAndTheBackground)
{
    Strip s;
    s.picture("p0.png", 40, 30);
    s.open({"p0.png"});
    s.click(0);
    const auto thumbnailColor = [&] {
        const QIcon icon = s.strip.model()->index(0).data(Qt::DecorationRole).value<QIcon>();
        const QImage shown = icon.pixmap(64).toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    };
    const auto backgroundColor = [&] {
        const auto bitmap = s.view.model()->bitmap();
        return bitmap ? bitmap->pixelColor(0, 0) : QColor();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.thumbnail(0) == ThumbnailState::Ready; }, 5000));
    EXPECT_EQ(thumbnailColor(), QColor(Qt::red));
    EXPECT_EQ(backgroundColor(), QColor(Qt::red));

    s.picture("p0.png", 60, 45, Qt::blue);
    EXPECT_TRUE(QTest::qWaitFor([&] { return thumbnailColor() == QColor(Qt::blue); }, 5000));
    EXPECT_EQ(backgroundColor(), QColor(Qt::blue));
    EXPECT_EQ(s.view.model()->bitmap()->size(), QSize(60, 45));
}

TEST(ImageBrowserPictures, AStripWithoutPicturesHasNoBitmaps)
{
    Strip s;
    s.open({});
    EXPECT_EQ(s.strip.bitmapCount(), 0);
    EXPECT_TRUE(s.strip.bitmap(0).isNull());
}

TEST(ImageBrowserDelete, RemovesTheSelectedPicturesButNotTheBackground)
{
    Strip s;
    for (const char *name : {"p0.png", "p1.png", "p2.png", "p3.png"})
        s.picture(name);
    s.open({"p0.png", "p1.png", "p2.png", "p3.png"});
    // The window's Delete command removes LEDs; in the strip the key is the strip's.
    QAction deleteLeds;
    deleteLeds.setShortcut(QKeySequence::Delete);
    s.strip.addAction(&deleteLeds);
    QSignalSpy ledsDeleted(&deleteLeds, &QAction::triggered);
    s.strip.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s.strip));
    s.strip.imageBrowser()->setFocus();

    s.click(3);
    s.click(1, Qt::ControlModifier);
    ASSERT_EQ(s.view.model()->backgroundUrl(), s.resolved("p3.png"));
    QSignalSpy changed(&s.strip, &ImageBrowserController::imagesChanged);

    QTest::keyClick(s.strip.imageBrowser(), Qt::Key_Delete);
    EXPECT_EQ(s.names(), "p0.png p2.png");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(s.view.model()->backgroundUrl(), s.resolved("p3.png"));
    EXPECT_EQ(ledsDeleted.count(), 0);

    // With nothing selected the key goes to the window again.
    QTest::keyClick(s.strip.imageBrowser(), Qt::Key_Delete);
    EXPECT_EQ(s.names(), "p0.png p2.png");
    EXPECT_EQ(ledsDeleted.count(), 1);
}

// A 1-bit palette PNG (orange with a blue box, as some tools save two-colour drawings) shows
// its own colours in the strip, whether decoded for the strip or from the document's copy.
TEST(ImageBrowserPictures, OneBitPalettePicturesKeepTheirColoursInThumbnails)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("two-colours.png");
    // 64 × 48, bit depth 1, colour type 3, palette orange and blue; the box is index 1.
    static const char png[] =
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x40\x00\x00\x00\x30"
        "\x01\x03\x00\x00\x00\x9b\x85\xee\x5c\x00\x00\x00\x06\x50\x4c\x54\x45\xff\x80\x00\x00\x40\xff"
        "\x2d\x3e\x02\x19\x00\x00\x00\x13\x49\x44\x41\x54\x78\x9c\x63\x60\xa0\x2b\xf8\x0f\x04\xc3\x91"
        "\x41\x37\x00\x00\xb5\x60\x5f\xa1\x80\x15\x02\x69\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(png, sizeof(png) - 1);
    out.close();

    // What the strip draws: the icon made of the thumbnail.
    ImageBrowserThumbnails thumbnails(nullptr);
    const QUrl url = QUrl::fromLocalFile(file);
    thumbnails.icon(url);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thumbnails.state(url) == ThumbnailState::Ready; }, 5000));
    const QImage thumbnail = thumbnails.icon(url).pixmap(ImageBrowserThumbnails::side).toImage();
    ASSERT_FALSE(thumbnail.isNull());
    const QColor corner = thumbnail.pixelColor(1, 1), middle = thumbnail.pixelColor(thumbnail.width() / 2, thumbnail.height() / 2);
    EXPECT_EQ(corner, QColor(255, 128, 0)) << qPrintable(corner.name());
    EXPECT_EQ(middle, QColor(0, 64, 255)) << qPrintable(middle.name());

    const PicturePtr picture = Picture::fromUrl(QUrl::fromLocalFile(file));
    const QImage preview = picture->preview();
    EXPECT_EQ(preview.pixelColor(1, 1), QColor(255, 128, 0));
    EXPECT_EQ(preview.pixelColor(preview.width() / 2, preview.height() / 2), QColor(0, 64, 255));
}
