#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <limits>

using namespace lumora;

namespace {

Model read(const QByteArray &text)
{
    Model model;
    EXPECT_TRUE(readDocument(text, model).ok);
    return model;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    return file.readAll();
}

const char *const exampleDocument = LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora";

} // namespace

// Every document in the folder is in the writer's own form, so reading and writing it
// again must give the same bytes.
TEST(DocumentGolden, EveryGoldenFileWritesBackByteForByte)
{
    const QDir dir(LUMORA_TEST_DATA "/documents");
    const QStringList files = dir.entryList({"*.lumora"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 4);
    for (const QString &name : files) {
        SCOPED_TRACE(qPrintable(name));
        const QByteArray original = fileBytes(dir.filePath(name));
        const Model model = read(original);
        EXPECT_EQ(writeDocument(LayoutSnapshot::fromModel(model)), original);
    }
}

TEST(DocumentWriter, TheWorkedExampleFromLiveState)
{
    LayoutSnapshot layout;
    layout.leds = {{100, 200}, {150.5, 200}};
    layout.grid = GridHandles{{100, 100}, {200, 100}, {100, 200}};
    layout.images = {QUrl("file:///images/wall.jpg")};
    auto first = AnimationFrame::newWithSelection({true, false}, nullptr, {});
    auto second = AnimationFrame::newWithSelection({false, true}, nullptr, QUrl("file:///images/frame2.png"));
    layout.animationEditor->addFrame(first);
    layout.animationEditor->addFrame(second); // inserted before the current frame
    std::swap(layout.animationEditor->track().frames[0], layout.animationEditor->track().frames[1]);
    EXPECT_EQ(writeDocument(layout), fileBytes(exampleDocument));
}

TEST(DocumentReader, TheWorkedExampleReadsIntoTheModel)
{
    const Model model = read(fileBytes(exampleDocument));
    EXPECT_EQ(model.points, (QList<QPointF>{{100, 200}, {150.5, 200}}));
    EXPECT_EQ(model.grid, (QList<QPointF>{{100, 100}, {200, 100}, {100, 200}}));
    EXPECT_EQ(model.filenames, QList<QUrl>{QUrl("file:///images/wall.jpg")});
    const auto &tracks = model.animationEditor->tracks();
    ASSERT_EQ(tracks.size(), 1);
    ASSERT_EQ(tracks[0]->frames.size(), 2);
    EXPECT_EQ(tracks[0]->frames[0]->selection, (QList<bool>{true, false}));
    EXPECT_EQ(tracks[0]->frames[1]->selection, (QList<bool>{false, true}));
    EXPECT_TRUE(tracks[0]->frames[0]->url.isEmpty());
    EXPECT_FALSE(tracks[0]->frames[0]->image);
    EXPECT_EQ(tracks[0]->frames[1]->url, QUrl("file:///images/frame2.png"));
    EXPECT_TRUE(tracks[0]->frames[1]->image);
    EXPECT_EQ(model.animationEditor->selectedFrame(), -1);
}

TEST(DocumentReader, PointsAndGridRows)
{
    const Model model = read("1.5,2.5\n3,4,5,\nabc,def,\n{\n};\n  -2e1xyz,  .5,\n7\n"
                             "\nPoint grid[4] =\n{\n1,1,\n2,2,\n3,3,\n4,4,\n};\n");
    EXPECT_EQ(model.points, (QList<QPointF>{{1.5, 2.5}, {3, 4}, {0, 0}, {-20, 0.5}}));
    EXPECT_EQ(model.grid.size(), 4);
    // The window set-up takes the first three rows only.
    const LayoutSnapshot layout = LayoutSnapshot::fromModel(model);
    ASSERT_TRUE(layout.grid);
    EXPECT_EQ(layout.grid->yDirection, QPointF(3, 3));
}

TEST(DocumentReader, NumberAndBooleanFields)
{
    EXPECT_EQ(readNumber(u"  12.5e2junk"), 1250);
    EXPECT_EQ(readNumber(u"-.25"), -0.25);
    EXPECT_EQ(readNumber(u"1e"), 1);
    EXPECT_EQ(readNumber(u"."), 0);
    EXPECT_EQ(readNumber(u"0x1p3"), 0); // no hexadecimal
    EXPECT_EQ(readNumber(u"inf"), 0);   // nor words
    EXPECT_TRUE(std::isinf(readNumber(u"1e999")));
    EXPECT_TRUE(readBoolean(u"1"));
    EXPECT_TRUE(readBoolean(u" -007"));
    EXPECT_TRUE(readBoolean(u"Yes"));
    EXPECT_TRUE(readBoolean(u"true"));
    EXPECT_FALSE(readBoolean(u"0"));
    EXPECT_FALSE(readBoolean(u"no"));
    EXPECT_FALSE(readBoolean(u" "));
}

TEST(DocumentReader, LineTerminatorsAndEmptyLines)
{
    // CR, CRLF, NEL, LS and PS all end lines; the second points row lands in the grid
    // table because of the empty line in between.
    const QString text = QString("1,1,\r2,2,\r\n\u0085") + "3,3,\u20284,4,\u2029" + "5,5,";
    const Model model = read(text.toUtf8());
    EXPECT_EQ(model.points.size(), 2);
    EXPECT_EQ(model.grid.size(), 3);
    // A line of spaces is not empty, and a final terminator adds no line.
    EXPECT_EQ(read("1,1,\n  \n2,2,\n").points.size(), 2);
}

TEST(DocumentReader, FilenamesTable)
{
    const Model model = read("String filenames[5] =\n{\n\"file:///a/b.png\",\n"
                             "\"file:///a/with,comma.png\",\n\"bad url\",\nnot-quoted,\n"
                             "\"relative/ok.png\",\n\"\",\n};\n");
    EXPECT_EQ(model.filenames, (QList<QUrl>{QUrl("file:///a/b.png"), QUrl("relative/ok.png")}));
}

TEST(DocumentReader, TrackStructureAndDepth)
{
    // One "}" too many: the depth goes below zero, and "{" lines make no tracks until it
    // is back at one; the third "{" then opens a track whose values sit at depth 2 and are
    // ignored.
    const Model model = read("/*\nTrack tracks[1] =\n}\n{\n{\n{\n1,\n},\n},\n{\n{\n{\n1,0,t,\n},\n},\n};\n*/\n");
    const auto &tracks = model.animationEditor->tracks();
    ASSERT_EQ(tracks.size(), 2);
    EXPECT_TRUE(tracks[0]->frames.isEmpty());
    ASSERT_EQ(tracks[1]->frames.size(), 1);
    EXPECT_EQ(tracks[1]->frames[0]->selection, (QList<bool>{true, false, true}));

    // " {" is not a brace line.
    EXPECT_TRUE(read("Track tracks[1] =\n{\n {\n1,\n};\n").animationEditor->tracks().isEmpty());
}

TEST(DocumentReader, TrackFilenamesPairWithReadFrames)
{
    const Model model = read("/*\nTrack tracks[1] =\n{\n{\n{\n1,\n},\n{\n0,\n},\n},\n};\n*/\n"
                             "\n/*\nTrackFilenames trackFilenames[2] =\n{\n{\n\"file:///x,y.png\",\n"
                             "\"file:///z.png\",\n\"file:///extra.png\",\n},\n{\n\"file:///none.png\",\n},\n};\n*/\n"
                             "\nPoint positions[1] =\n{\n5,5,\n};\n");
    const auto &frames = model.animationEditor->tracks()[0]->frames;
    ASSERT_EQ(frames.size(), 2);
    EXPECT_TRUE(frames[0]->url.isEmpty()); // split at its comma, skipped, index still advances
    EXPECT_EQ(frames[1]->url, QUrl("file:///z.png"));
    EXPECT_TRUE(model.points.isEmpty()); // the positions table is never read
}

TEST(DocumentReader, InvalidUtf8IsRefusedNotReadAsEmpty)
{
    Model model;
    const ReadResult result = readDocument(QByteArray("1,2,\n\xff\xfe,3\n"), model);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "not a valid document (not UTF-8)");
    EXPECT_TRUE(model.points.isEmpty());
}

TEST(DocumentWriter, SelectionsAndNamesKeepTheirFrames)
{
    LayoutSnapshot layout;
    layout.leds = {{1, 1}, {2, 2}};
    auto &frames = layout.animationEditor->track().frames;
    frames.append(AnimationFrame::newWithSelection({}, nullptr, QUrl("file:///skipped.png")));
    frames.append(AnimationFrame::newWithSelection({true, true, true, true}, nullptr, QUrl("file:///kept.png")));
    const QByteArray text = writeDocument(layout);
    EXPECT_TRUE(text.contains("{\n1,1,\n}")) << "at most one value per LED";
    EXPECT_FALSE(text.contains("skipped.png"));

    const Model model = read(text);
    const auto &readFrames = model.animationEditor->tracks()[0]->frames;
    ASSERT_EQ(readFrames.size(), 1);
    EXPECT_EQ(readFrames[0]->url, QUrl("file:///kept.png"));
}

TEST(DocumentWriter, CommaInFileNameSurvivesReload)
{
    LayoutSnapshot layout;
    const QUrl url = QUrl::fromLocalFile("/pictures/wall, north.png");
    layout.images = {url};
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true}, nullptr, url));
    layout.leds = {{0, 0}};
    const Model model = read(writeDocument(layout));
    ASSERT_EQ(model.filenames.size(), 1);
    EXPECT_EQ(model.filenames[0].toLocalFile(), "/pictures/wall, north.png");
    EXPECT_EQ(model.animationEditor->tracks()[0]->frames[0]->url.toLocalFile(), "/pictures/wall, north.png");
}

TEST(DocumentWriter, PositionsRoundHalvesAwayFromZeroAndSurviveParallelAxes)
{
    LayoutSnapshot layout;
    layout.grid = GridHandles{{0, 0}, {64, 0}, {0, 64}};
    layout.leds = {{48, 16}, {-48, -16}, {40, 15}};
    EXPECT_TRUE(writeDocument(layout).endsWith("Point positions[3] =\n{\n2,1,\n-2,-1,\n1,0,\n};\n"));

    layout.grid = GridHandles{{0, 0}, {64, 0}, {128, 0}};
    const QByteArray text = writeDocument(layout);
    EXPECT_TRUE(text.endsWith("{\n0,0,\n0,0,\n0,0,\n};\n")) << text.constData();
    EXPECT_FALSE(text.contains("nan"));
}

TEST(DocumentWriter, FixedFormatIgnoresLocale)
{
    EXPECT_EQ(formatFixed(512), "512.000000");
    EXPECT_EQ(formatFixed(-3.25), "-3.250000");
    EXPECT_EQ(formatFixed(0.0000004), "0.000000");
    EXPECT_EQ(formatFixed(2.0000005), "2.000001");
}

// Lines that fit no row were skipped without a word, so a damaged layout opened quietly short.
TEST(DocumentReader, SkippedLinesAreToldByLineAndTheRestIsReadAsEver)
{
    Model model;
    const ReadResult result = readDocument("Point points[3] =\n{\n1,2,\nseven\n3,4,\n};\n\n"
                                           "Point grid[0] =\n{\n};\n\n"
                                           "String filenames[2] =\n{\n\"a b\",\n\"ok.png\",\n};\n",
                                           model);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(model.points, (QList<QPointF>{{1, 2}, {3, 4}}));
    EXPECT_EQ(model.filenames, QList<QUrl>{QUrl("ok.png")});
    ASSERT_EQ(result.warnings.size(), 2) << qPrintable(result.warnings.join("; "));
    EXPECT_TRUE(result.warnings[0].startsWith("line 4:") && result.warnings[0].contains("not an LED"))
        << qPrintable(result.warnings[0]);
    EXPECT_TRUE(result.warnings[1].startsWith("line 14:") && result.warnings[1].contains("picture name"))
        << qPrintable(result.warnings[1]);
}

// An overflowing coordinate once read as inf, was written as "inf" and read back as 0.
TEST(DocumentReader, OverflowingNumbersAreLimitedWithAWarningAndSurviveAResave)
{
    Model model;
    const ReadResult result = readDocument("Point points[2] =\n{\n1e999,5,\n3,-2e400,\n};\n", model);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.warnings.size(), 2);
    EXPECT_TRUE(result.warnings[0].startsWith("line 3:")) << qPrintable(result.warnings[0]);
    const double max = std::numeric_limits<double>::max();
    ASSERT_EQ(model.points, (QList<QPointF>{{max, 5}, {3, -max}}));

    const QByteArray written = writeDocument(LayoutSnapshot::fromModel(model));
    Model again;
    const ReadResult reread = readDocument(written, again);
    EXPECT_TRUE(reread.warnings.isEmpty());
    EXPECT_EQ(again.points, model.points);
    EXPECT_EQ(writeDocument(LayoutSnapshot::fromModel(again)), written);

    // Should an edit make an infinity, it is written as the largest double, not "inf".
    EXPECT_EQ(readNumber(QString::fromLatin1(formatFixed(-std::numeric_limits<double>::infinity()))), -max);
    EXPECT_EQ(formatFixed(std::numeric_limits<double>::quiet_NaN()), "0.000000");
}
