// The iCalendar reader, which reads files and server answers from anywhere:
// any bytes parse (or are refused) without a crash, and what the document
// writes after one of its events is written over reads again.

#include "exchange/ics_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qm::exchange::ics_document d;
    QString error;
    if (!d.parse(bytes, error))
        return 0;
    if (!d.items().empty()) {
        qm::exchange::calendar_item first = d.items().front();
        d.write(first);
    }
    qm::exchange::ics_document again;
    again.parse(d.serialize(), error);
    return 0;
}
