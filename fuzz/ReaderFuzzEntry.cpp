#include "ReaderFuzzEntry.h"

#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"

namespace lumora {

void readDocumentFuzzInput(const std::uint8_t *data, std::size_t size)
{
    Model model;
    if (!readDocument(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), model).ok)
        return;
    const QByteArray written = writeDocument(LayoutSnapshot::fromModel(model));
    Model again;
    readDocument(written, again);
}

} // namespace lumora
