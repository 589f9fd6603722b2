#include "fuzz/ReaderFuzzEntry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Replays every input of the reader's fuzzing corpus (the documents and the inputs the
// fuzzer found interesting) through the fuzzer's own entry point.
TEST(ReaderCorpus, EveryInputReadsWithoutHarm)
{
    int replayed = 0;
    for (const char *folder : {"/reader-corpus", "/documents"}) {
        const QDir dir(QString(LUMORA_TEST_DATA) + folder);
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
            const QByteArray bytes = file.readAll();
            lumora::readDocumentFuzzInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), bytes.size());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 5);
}
