#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>

/// Hands every file of a fuzzing corpus folder (below the test data) to `entry`, the fuzz
/// target's own entry point, and expects it to hold (`entry` returns true); returns how many
/// inputs were replayed.
template <class Entry>
int replayCorpus(const QString &folder, Entry entry)
{
    const QDir dir(QString(LUMORA_TEST_DATA) + "/" + folder);
    int replayed = 0;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(entry(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())))
            << qPrintable(folder + "/" + name);
        ++replayed;
    }
    return replayed;
}
