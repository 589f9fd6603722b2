#include "app/Document.h"
#include "app/PrintView.h"
#include "editor/View.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

TEST(Printing, OneLandscapePageWithACirclePerLed)
{
    QTemporaryDir dir;
    Document document;
    document.view()->addVertex({100, 100});
    document.view()->addVertex({900, 600});
    document.view()->addVertex({500, 300});

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("layout.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    document.printTo(printer);

    QFile pdf(dir.filePath("layout.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    const auto box = QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])").match(QString::fromLatin1(bytes));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble()) << "landscape";
}

TEST(Printing, CirclesKeepTheirSizeAndFitTheArea)
{
    Document document;
    PrintView print(document.view());
    EXPECT_TRUE(print.circles({800, 500}).isEmpty()); // no LEDs: an empty page

    // A single LED sits in the centre, 34 points across.
    document.view()->addVertex({300, 300});
    auto circles = print.circles({800, 500});
    ASSERT_EQ(circles.size(), 1);
    EXPECT_EQ(circles[0], QRectF(400 - 17, 250 - 17, 34, 34));

    // Width-limited: the outer LED centres lie (off + 1)·k/2 inside the edges (no grid: off 0).
    document.view()->addVertex({1300, 300});
    circles = print.circles({800, 500});
    const double k = 800.0 / 1001;
    EXPECT_NEAR(circles[0].center().x(), k / 2, 1e-9);
    EXPECT_NEAR(circles[1].center().x(), 800 - k / 2, 1e-9);
    EXPECT_NEAR(circles[1].center().y(), 250, 1e-9);

    // Marking changes nothing.
    document.view()->model()->markLed(document.view()->model()->leds()[0]);
    EXPECT_EQ(print.circles({800, 500}), circles);
}
