#include "CorpusReplay.h"

#include "fuzz/NodesFuzzEntry.h"

// Replays the clipboard decoder's minimised fuzzing corpus through the fuzzer's own entry
// point: nothing may crash, and whatever decodes must survive encoding and decoding again.
TEST(ClipboardCorpus, EveryInputDecodesWithoutHarmAndRoundTrips)
{
    EXPECT_GT(replayCorpus("clipboard-corpus", lumora::decodeNodesFuzzInput), 5);
}
