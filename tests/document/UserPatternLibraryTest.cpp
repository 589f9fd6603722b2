#include "colors/EpeFile.h"
#include "colors/UserPatternLibrary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

TEST(UserPatternLibrary, ListsPatternFilesByNameAndNeverReusesOne)
{
    QTemporaryDir dir;
    const UserPatternLibrary library(dir.filePath("patterns"));
    EXPECT_TRUE(library.files().isEmpty()) << "a library not made yet is empty";
    for (const char *name : {"beta.js", "Alpha.js", "notes.txt", "gamma.controls.json"})
        ASSERT_TRUE(UserPatternLibrary::saveSource(QDir(library.folder()).filePath(name), "x", nullptr));
    const QStringList files = library.files();
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].endsWith("/Alpha.js"));
    EXPECT_TRUE(files[1].endsWith("/beta.js"));

    EXPECT_EQ(library.unusedFileFor("beta"), QDir(library.folder()).filePath("beta 2.js"));
    EXPECT_EQ(library.unusedFileFor("new"), QDir(library.folder()).filePath("new.js"));
    // A name is never a path out of the library, nor a hidden file.
    EXPECT_EQ(library.fileFor("../up/and:away"), QDir(library.folder()).filePath("_up_and_away.js"));
    EXPECT_EQ(library.fileFor("  "), QDir(library.folder()).filePath("Pattern.js"));
}

TEST(UserPatternLibrary, ControlValuesTravelBesideThePatternAndLoadWithIt)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("glow.js");
    ASSERT_TRUE(UserPatternLibrary::saveSource(
        file, "export var v = 0\nexport function sliderV(x) { v = x }\nexport function render(i) { rgb(v, 0, 0) }",
        nullptr));
    ASSERT_TRUE(UserPatternLibrary::saveControls(file, {{"sliderV", {0.5}}, {"hsvPickerC", {0.1, 1, 1}}}, nullptr));
    EXPECT_TRUE(QFile::exists(dir.filePath("glow.controls.json")));
    const auto values = UserPatternLibrary::loadControls(file);
    EXPECT_EQ(values.value("hsvPickerC"), (QList<double>{0.1, 1, 1}));

    QStringList errors;
    const std::optional<UserPattern> pattern = UserPattern::load(file, errors);
    ASSERT_TRUE(pattern);
    UserPatternRun run(*pattern, {QPointF(0, 0)});
    EXPECT_EQ(quint8(run.nextFrame(0)[0]), 127) << "every run starts with the kept values";

    // Damaged values are left out rather than trusted.
    QFile damaged(dir.filePath("glow.controls.json"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(R"({"sliderV": ["x"], "toggleT": [1], "bad": 3)");
    damaged.close();
    EXPECT_TRUE(UserPatternLibrary::loadControls(file).isEmpty());
}

TEST(UserPatternLibrary, ImportsADeviceExportUnderItsNameAndRefusesOtherFiles)
{
    QTemporaryDir dir;
    const UserPatternLibrary library(dir.filePath("patterns"));
    const QString epe = dir.filePath("device.epe");
    QFile file(epe);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(writeEpe({"Fire / Ice", "", "export function render(i) { hsv(0, 1, 1) }"}, QImage()));
    file.close();

    QString error;
    const std::optional<QString> first = library.importEpe(epe, &error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_EQ(*first, QDir(library.folder()).filePath("Fire _ Ice.js"));
    const std::optional<QString> second = library.importEpe(epe, &error);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, QDir(library.folder()).filePath("Fire _ Ice 2.js")) << "an import never replaces a pattern";

    const QString notEpe = dir.filePath("photo.epe");
    QFile other(notEpe);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("\xff\xd8 not json");
    other.close();
    EXPECT_FALSE(library.importEpe(notEpe, &error));
    EXPECT_TRUE(error.startsWith("photo.epe: ")) << error.toStdString();
    EXPECT_EQ(library.files().size(), 2);
}
