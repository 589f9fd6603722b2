// Pictures dropped on the layout: judged from their header, decoded once per file off the
// window's thread, and refused with the reason.
#include "EditorTestSupport.h"

#include "pictures/PictureCache.h"
#include "document/DocumentModel.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QString dropped(View &view, const QString &file)
{
    QString told;
    QObject::connect(&view, &View::statusMessage, &view, [&](const QString &message) { told = message; });
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(512, 384), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &enter);
    QDropEvent drop(QPointF(512, 384), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&view, &drop);
    QObject::disconnect(&view, &View::statusMessage, &view, nullptr);
    return told;
}

} // namespace

// Five drops of one 15000 × 15000 PNG took 8.6 GB: each decoded anew and undo kept them all.
TEST(PictureDrop, OnePictureDroppedFiveTimesIsDecodedOnceAndShownAsOne)
{
    QTemporaryDir dir;
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    const QString file = dir.filePath("big.png");
    ASSERT_TRUE(image.save(file));
    ViewFixture f;
    const qint64 decodes = Picture::decodeCount();
    QSignalSpy ready(f.model.pictures(), &PictureCache::ready);
    QList<PicturePtr> shown;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(dropped(*f.view, file).isEmpty());
        f.undo.endGrouping();
        shown.append(f.model.background());
    }
    EXPECT_EQ(f.model.images().size(), 5) << "each drop joins the strip";
    for (const PicturePtr &picture : shown)
        EXPECT_EQ(picture, shown.first());
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.model.background()->isDecoded(); }, 5000));
    EXPECT_EQ(Picture::decodeCount() - decodes, 1);
    EXPECT_EQ(f.model.pictures()->count(), 1);
    ASSERT_TRUE(f.view->model()->bitmap());
    EXPECT_EQ(f.view->model()->bitmap()->constBits(), f.model.background()->image().constBits()) << "one copy of the pixels";
}

TEST(PictureDrop, AFileThatIsNoPictureIsRefusedWithTheReasonBeforeDecoding)
{
    QTemporaryDir dir;
    const QString text = writeTestFile(dir.filePath("notes.png"), "not a picture");
    ViewFixture f;
    const qint64 decodes = Picture::decodeCount();
    const QString told = dropped(*f.view, text);
    EXPECT_TRUE(told.contains("notes.png")) << qPrintable(told);
    EXPECT_FALSE(f.model.background());
    EXPECT_TRUE(f.model.images().isEmpty());
    EXPECT_EQ(Picture::decodeCount(), decodes);
}

// The layer under the LEDs is kept between paints; a picture decoded after the first paint,
// or decoded anew because its file changed, is the same picture with other pixels, and the
// layout must show them.
TEST(PictureDrop, TheLayoutShowsThePictureOnceDecodedAndAgainWhenItsFileChanges)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("backdrop.png");
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(file));
    ViewFixture f;
    f.view->resize(1024, 768);
    auto centre = [&] { return QColor(f.view->grab().toImage().pixel(512, 384)); };
    EXPECT_TRUE(dropped(*f.view, file).isEmpty());
    const PicturePtr shown = f.model.background();
    EXPECT_TRUE(QTest::qWaitFor([&] { return centre() == QColor(Qt::red); }, 5000)) << qPrintable(centre().name());

    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(file + ".new", "PNG"));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(file + ".new", file));
    EXPECT_TRUE(QTest::qWaitFor([&] { return centre() == QColor(Qt::blue); }, 5000)) << qPrintable(centre().name());
    EXPECT_EQ(f.model.background(), shown);
}
