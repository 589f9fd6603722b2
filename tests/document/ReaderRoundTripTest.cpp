// Everything the writer writes reads back without a warning: the reader finds each table by
// its header, so a positions table is never taken for picture names.
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/LedGenerators.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// A layout with every table the writer makes (or only some), of `count` LEDs.
LayoutSnapshot layoutWith(int count, bool grid, bool pictures, bool frames)
{
    LayoutSnapshot layout;
    MatrixLayout matrix;
    matrix.width = 100;
    matrix.height = (count + 99) / 100;
    layout.leds = matrixPositions(matrix, QPointF(512, 384), 5).mid(0, count);
    if (grid)
        layout.grid = GridHandles{{10, 10}, {15, 10}, {10, 15}};
    if (pictures)
        layout.images = {QUrl("file:///pictures/wall.png"), QUrl("relative/other.png")};
    if (frames) {
        QList<bool> lit(count, false);
        lit[0] = true;
        layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection(lit, nullptr, {}));
        layout.animationEditor->track().frames.append(
            AnimationFrame::newWithSelection(lit, nullptr, QUrl("file:///pictures/frame.png")));
    }
    return layout;
}

} // namespace

// Every layout with a complete grid and no pictures (the bundled matrix and ring, every
// generated matrix, the editor's saves) reported each positions row as "not a picture name".
TEST(ReaderRoundTrip, EveryCombinationOfTablesReadsBackWithoutWarnings)
{
    for (int mask = 0; mask < 8; ++mask) {
        for (int count : {0, 3, 100000}) {
            if (count == 100000 && mask != 1 && mask != 7)
                continue;
            SCOPED_TRACE(QString("grid %1 pictures %2 frames %3, %4 LEDs")
                             .arg(mask & 1).arg((mask >> 1) & 1).arg((mask >> 2) & 1).arg(count)
                             .toStdString());
            if (count == 0 && (mask & 4))
                continue; // frames need an LED to be written
            const LayoutSnapshot layout = layoutWith(count, mask & 1, mask & 2, mask & 4);
            const QByteArray text = writeDocument(layout);
            Model model;
            const ReadResult result = readDocument(text, model);
            ASSERT_TRUE(result.ok);
            EXPECT_TRUE(result.warnings.isEmpty()) << qPrintable(result.warnings.join('\n'));
            EXPECT_EQ(model.points.size(), count);
            EXPECT_EQ(writeDocument(LayoutSnapshot::fromModel(model)), text);
        }
    }
}

TEST(ReaderRoundTrip, TheBundledExamplesOpenWithoutWarnings)
{
    const QDir examples(LUMORA_TEST_DATA "/../../examples");
    const QStringList names = examples.entryList({"*.lumora"}, QDir::Files);
    ASSERT_GE(names.size(), 3);
    for (const QString &name : names) {
        Model model;
        const ReadResult result = readDocumentFile(examples.filePath(name), model);
        EXPECT_TRUE(result.ok) << qPrintable(name);
        EXPECT_TRUE(result.warnings.isEmpty()) << qPrintable(name + ": " + result.warnings.join('\n'));
        EXPECT_FALSE(model.points.isEmpty()) << qPrintable(name);
    }
}

// Real problems are still told by their line, in every table, and a header's count is no
// more than a hint: a huge one reserves nothing the file cannot fill.
TEST(ReaderRoundTrip, RealProblemsAreStillToldAndHeaderCountsAreOnlyHints)
{
    Model model;
    const ReadResult result = readDocument("Point points[4000000000000] =\n{\n1,2,\n};\n\n"
                                           "Point grid[3] =\n{\nhandle\n};\n\n"
                                           "Point positions[1] =\n{\n0,0,\n};\n",
                                           model);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(model.points, QList<QPointF>{QPointF(1, 2)});
    ASSERT_EQ(result.warnings.size(), 1) << qPrintable(result.warnings.join('\n'));
    EXPECT_TRUE(result.warnings[0].startsWith("line 8:") && result.warnings[0].contains("not a grid handle"))
        << qPrintable(result.warnings[0]);

    // A hand-written file without headers still reads by its empty lines, as ever.
    Model bare;
    EXPECT_TRUE(readDocument("1,1,\n2,2,\n\n3,3,\n4,4,\n5,5,\n", bare).warnings.isEmpty());
    EXPECT_EQ(bare.points.size(), 2);
    EXPECT_EQ(bare.grid.size(), 3);
}
