#include "ReaderFuzzEntry.h"

#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"

namespace lumora {

bool readDocumentFuzzInput(const std::uint8_t *data, std::size_t size)
{
    Model model;
    if (!readDocument(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), model).ok)
        return true;
    const QByteArray written = writeDocument(LayoutSnapshot::fromModel(model));
    Model again;
    const ReadResult reread = readDocument(written, again);
    // What the writer writes reads back without a warning.
    return reread.ok && reread.warnings.isEmpty();
}

} // namespace lumora
