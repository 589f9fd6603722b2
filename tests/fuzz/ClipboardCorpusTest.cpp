#include "fuzz/NodesFuzzEntry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Replays the clipboard decoder's minimised fuzzing corpus through the fuzzer's own entry
// point: nothing may crash, and whatever decodes must survive encoding and decoding again.
TEST(ClipboardCorpus, EveryInputDecodesWithoutHarmAndRoundTrips)
{
    const QDir dir(LUMORA_TEST_DATA "/clipboard-corpus");
    int replayed = 0;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(lumora::decodeNodesFuzzInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                                 bytes.size()))
            << qPrintable(name);
        ++replayed;
    }
    EXPECT_GT(replayed, 5);
}
