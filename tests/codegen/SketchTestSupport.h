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

} // namespace lumora::test
