#include "fuzz/MapImportFuzzEntry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Replays the LED map importers' minimised fuzzing corpus through the fuzzer's own entry
// point: nothing may crash, and every map that imports must land finite and inside the
// layout space.
TEST(MapImportCorpus, EveryInputImportsWithoutHarmInsideTheLayout)
{
    const QDir dir(LUMORA_TEST_DATA "/map-corpus");
    int replayed = 0;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(lumora::importMapFuzzInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                               bytes.size()))
            << qPrintable(name);
        ++replayed;
    }
    EXPECT_GT(replayed, 5);
}
