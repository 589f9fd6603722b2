#include "CorpusReplay.h"

#include "fuzz/ReaderFuzzEntry.h"

// Replays every input of the reader's fuzzing corpus (the documents and the inputs the
// fuzzer found interesting) through the fuzzer's own entry point: each reads without harm,
// and what the writer makes of it reads back without a warning.
TEST(ReaderCorpus, EveryInputReadsWithoutHarmAndItsResaveWithoutWarnings)
{
    auto reads = [](const std::uint8_t *data, std::size_t size) { return lumora::readDocumentFuzzInput(data, size); };
    EXPECT_GT(replayCorpus("reader-corpus", reads) + replayCorpus("documents", reads), 5);
}
