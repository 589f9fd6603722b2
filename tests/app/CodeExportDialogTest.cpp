#include "app/CodeExportDialog.h"

#include "patterns/catalogue/Catalogue.h"
#include "patterns/framework/PatternRegistry.h"

#include <QComboBox>
#include <QLineEdit>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

QList<QPointF> ring()
{
    QList<QPointF> leds;
    for (int i = 0; i < 24; ++i)
        leds.append(QPointF(512 + 200 * std::cos(i * 0.2618), 384 + 200 * std::sin(i * 0.2618)));
    return leds;
}

QString writePattern(const QTemporaryDir &dir, const char *name, const QByteArray &source)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(source);
    return f.fileName();
}

bool measure(CodeExportDialog &dialog)
{
    QSignalSpy done(&dialog, &CodeExportDialog::measured);
    QTest::mouseClick(dialog.findChild<QPushButton *>("measure"), Qt::LeftButton);
    return done.wait(120000);
}

} // namespace

TEST(CodeExportDialog, ShowsTheBudgetBeforeWritingTheSketch)
{
    QTemporaryDir dir;
    CodeExportDialog dialog(ring(), {}, dir.filePath("spin"));
    dialog.setPatternFile(writePattern(dir, "spin.js", "export function render2D(i, x, y) { hsv(x + time(0.1), 1, y) }"));
    dialog.setTarget(SketchTarget::Avr);
    auto *write = dialog.findChild<QPushButton *>("write");
    EXPECT_FALSE(write->isEnabled());
    ASSERT_TRUE(measure(dialog));
    EXPECT_TRUE(dialog.report().startsWith("Arduino Uno: ")) << dialog.report().toStdString();
    EXPECT_TRUE(dialog.report().contains("frames/s at 24 LEDs")) << dialog.report().toStdString();
    EXPECT_FALSE(QDir(dir.filePath("spin")).exists()); // measuring writes nothing
    ASSERT_TRUE(write->isEnabled());

    // A change asks for a new measurement before writing.
    dialog.setTarget(SketchTarget::Arm);
    EXPECT_FALSE(write->isEnabled());
    dialog.setTarget(SketchTarget::Host);
    ASSERT_TRUE(measure(dialog));
    QTest::mouseClick(write, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(dir.filePath("spin/spin.ino")));
    EXPECT_TRUE(QFile::exists(dir.filePath("spin/host_main.cpp")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(CodeExportDialog, AnUntranslatablePatternIsReportedAndNothingIsWritten)
{
    QTemporaryDir dir;
    CodeExportDialog dialog(ring(), {}, dir.filePath("out"));
    dialog.setPatternFile(writePattern(dir, "bad.js", "var f = (v) => v\nexport function render(i) { hsv(f(i), 1, 1) }"));
    ASSERT_TRUE(measure(dialog));
    EXPECT_TRUE(dialog.report().contains("bad.js:1:9: ")) << dialog.report().toStdString();
    EXPECT_FALSE(dialog.findChild<QPushButton *>("write")->isEnabled());
    EXPECT_FALSE(dialog.writeSketch());
    EXPECT_FALSE(QDir(dir.filePath("out")).exists());
}

TEST(CodeExportDialog, OffersTheBuiltInPatternsThatRunOnABoard)
{
    const PatternRegistry patterns = builtInPatterns();
    QTemporaryDir dir;
    CodeExportDialog dialog(ring(), {}, dir.filePath("rings"));
    QList<QPointF> grid;
    for (int i = 0; i < 24; ++i)
        grid.append(QPointF(i % 6, i / 6));
    dialog.offerBuiltIns(patterns, grid);
    auto *choice = dialog.findChild<QComboBox *>("pattern");
    EXPECT_EQ(choice->count(), 1 + 63); // a pattern file, then every built-in but Image
    EXPECT_FALSE(dialog.choosePattern("Image"));
    ASSERT_TRUE(dialog.choosePattern("Rings"));
    EXPECT_FALSE(dialog.findChild<QLineEdit *>("patternFile")->isEnabled());
    dialog.setTarget(SketchTarget::Host);
    ASSERT_TRUE(measure(dialog));
    QTest::mouseClick(dialog.findChild<QPushButton *>("write"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(dir.filePath("rings/Rings.h")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
