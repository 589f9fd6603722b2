// Pixelblaze's .epe files through lumora-cli: import the source, export with a preview.
#include "CliTestSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString heart = LUMORA_TEST_DATA "/../../examples/heart.lumora";
const QString spinwheel = LUMORA_TEST_DATA "/pattern-samples/Spinwheel_2D.js";

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(CliEpe, ExportThenImportGivesTheSourceBackWithAPreviewOfTheLayout)
{
    QTemporaryDir dir;
    const QString epe = dir.filePath("spin.epe");
    const CliRun exported = runCli({"export-epe", spinwheel, heart, "-o", epe, "--frames", "40"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.constData();

    const QJsonObject object = QJsonDocument::fromJson(readAll(epe)).object();
    EXPECT_EQ(object["name"].toString(), "Spinwheel_2D");
    EXPECT_EQ(object["id"].toString().size(), 17);
    EXPECT_EQ(object["sources"].toObject()["main"].toString().toUtf8(), readAll(spinwheel));
    QImage preview;
    ASSERT_TRUE(preview.loadFromData(QByteArray::fromBase64(object["preview"].toString().toLatin1()), "JPEG"));
    const int leds = int(QJsonDocument::fromJson(runCli({"inspect", heart}).out).object()["points"].toArray().size());
    EXPECT_EQ(preview.width(), leds);
    EXPECT_EQ(preview.height(), 40);
    EXPECT_NE(preview.copy(0, 5, leds, 1), preview.copy(0, 30, leds, 1)) << "the rows animate";

    const QString js = dir.filePath("back.js");
    const CliRun imported = runCli({"import-epe", epe, "-o", js});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.constData();
    EXPECT_EQ(readAll(js), readAll(spinwheel));
    EXPECT_EQ(runCli({"check-pattern", js}).exitCode, 0);
}

TEST(CliEpe, RefusesFilesThatAreNotPatterns)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("bad.epe"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"name\": \"x\"}");
    file.close();
    const CliRun run = runCli({"import-epe", file.fileName(), "-o", dir.filePath("x.js")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no pattern source")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath("x.js")));
}
