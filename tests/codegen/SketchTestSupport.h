#pragma once

#include "codegen/ScriptTranslator.h"
#include "codegen/SketchWriter.h"
#include "colors/UserPattern.h"
#include "document/DocumentReader.h"
#include "document/LayoutSnapshot.h"
#include "document/Model.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>

#include <gtest/gtest.h>

namespace lumora::test {

inline QList<QPointF> heartLeds()
{
    Model model;
    readDocumentFile(QString(LUMORA_TEST_DATA) + "/../../examples/heart.lumora", model);
    return LayoutSnapshot::fromModel(model).leds;
}

inline QByteArray readAll(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Ran {
    bool ok = false;
    QString output;
    QByteArray out;
};

inline Ran runTool(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    Ran r;
    if (!p.waitForStarted() || !p.waitForFinished(300000))
        return r;
    r.out = p.readAllStandardOutput();
    r.output = QString::fromLocal8Bit(p.readAllStandardError());
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return r;
}

/// Writes the sketch of `source` on `leds` for `target` into `folder`/sketch; false after a
/// test failure.
inline bool writeSketch(const QByteArray &source, const QString &fileName, const QList<QPointF> &leds,
                        SketchTarget target, const QString &folder)
{
    QStringList errors;
    const std::optional<SketchPattern> pattern = ScriptTranslator::translate(source, fileName, leds, errors);
    EXPECT_TRUE(pattern) << errors.join('\n').toStdString();
    if (!pattern)
        return false;
    QString error;
    const bool ok = SketchWriter::write(folder + "/sketch", SketchWriter::files(*pattern, {}, target, "sketch"), &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

/// Builds the host sketch in `dir` and runs it for `frames` frames: its PPM without the header
/// (`leds` columns), empty when it failed.
inline QByteArray hostFrames(const QString &dir, qsizetype leds, int frames)
{
    const Ran built = runTool(LUMORA_HOST_CXX, {"-O1", "-Wall", "-Werror", "-o", "frames", "host_main.cpp"}, dir);
    EXPECT_TRUE(built.ok) << built.output.toStdString();
    const Ran ran = runTool(dir + "/frames", {QString::number(frames)}, dir);
    EXPECT_TRUE(ran.ok);
    const QByteArray header = QString("P6\n%1 %2\n255\n").arg(leds).arg(frames).toLatin1();
    EXPECT_TRUE(ran.out.startsWith(header));
    return ran.out.mid(header.size());
}

/// The share of bytes within 2 of each other, 0 when the lengths differ.
inline double agreement(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 0;
    qsizetype close = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        close += std::abs(int(uchar(a[i])) - int(uchar(b[i]))) <= 2;
    return double(close) / double(a.size());
}

} // namespace lumora::test
