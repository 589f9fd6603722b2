// Import LED Map… and Export Map ▸ … in the editor: what the user sees of filled LEDs and of
// maps that cannot be made.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentModel.h"
#include "document/UndoManager.h"

#include "../support/TestFiles.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

/// Answers the next file dialog with the path.
void answerFileDialog(const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

/// Accepts the next modal message box once it shows, keeping its text.
void answerMessageBox(QString *text)
{
    QTimer::singleShot(50, [text] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            *text = box->text();
            box->accept();
        } else {
            answerMessageBox(text);
        }
    });
}

/// The text of the visible, non-modal report of that title; empty when there is none.
QString report(QWidget *window, const QString &title)
{
    for (QMessageBox *box : window->findChildren<QMessageBox *>())
        if (box->isVisible() && box->windowTitle() == title && box->windowModality() == Qt::NonModal)
            return box->text() + '\n' + box->informativeText();
    return {};
}

} // namespace

TEST(MapActions, ImportMarksTheFilledLedsAndListsThem)
{
    QTemporaryDir dir;
    // 4 × 2, serpentine from the top left, LEDs 4 and 5 unused between the rows.
    const QString map = writeTestFile(dir.filePath("ledmap.json"), "{\"width\":4,\"height\":2,\"map\":[0,1,2,3,9,8,7,6]}");
    Document document;
    DocumentWindow *window = document.window();
    answerFileDialog(map);
    document.importLedMap();

    DocumentModel *model = document.model();
    ASSERT_EQ(model->leds().size(), 10);
    QList<bool> filled(10, false);
    filled[4] = filled[5] = true;
    EXPECT_EQ(model->marking(), filled);
    const QString status = window->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains("Imported 10 LED") && status.contains("does not place 2 of its LEDs")) << qPrintable(status);
    EXPECT_TRUE(report(window, "Filled LEDs").contains("LEDs 4–5, between LEDs 3 and 6"))
        << qPrintable(report(window, "Filled LEDs"));

    EXPECT_EQ(model->gridState(), 3) << "an empty layout takes the map's grid of one step per cell";

    model->undoManager()->endGrouping();
    EXPECT_EQ(model->undoManager()->undoActionName(), "import LEDs");
    model->undoManager()->undo();
    EXPECT_TRUE(model->leds().isEmpty()) << "the import with its marking and grid is one step";
    EXPECT_EQ(model->gridState(), 0);
}

TEST(MapActions, ExportThatCannotBeMadeSaysWhyAndWritesNothing)
{
    QTemporaryDir dir;
    Document document;
    // A ring: no WLED panel wiring follows its order.
    QList<QPointF> ring;
    for (int i = 0; i < 12; ++i)
        ring.append(QPointF(512 + 200 * std::cos(i * M_PI / 6), 384 + 200 * std::sin(i * M_PI / 6)));
    document.model()->importLeds(ring);
    const QString target = dir.filePath("2d-gaps.json");
    QString warning;
    answerFileDialog(target);
    answerMessageBox(&warning);
    document.exportMap("wled-gaps");
    EXPECT_TRUE(warning.contains("no WLED 2D panel wiring gives the LEDs' order")) << qPrintable(warning);
    EXPECT_TRUE(warning.contains("export ledmap.json instead")) << qPrintable(warning);
    EXPECT_FALSE(QFile::exists(target));
}
