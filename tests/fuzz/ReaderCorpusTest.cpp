#include "CorpusReplay.h"

#include "fuzz/ReaderFuzzEntry.h"

// Replays every input of the reader's fuzzing corpus (the documents and the inputs the
// fuzzer found interesting) through the fuzzer's own entry point.
TEST(ReaderCorpus, EveryInputReadsWithoutHarm)
{
    auto reads = [](const std::uint8_t *data, std::size_t size) {
        lumora::readDocumentFuzzInput(data, size);
        return true;
    };
    EXPECT_GT(replayCorpus("reader-corpus", reads) + replayCorpus("documents", reads), 5);
}
