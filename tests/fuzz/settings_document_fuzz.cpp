// The settings document reader, which also reads the clipboard documents:
// any bytes parse to some document, and what that document writes can be
// read again.

#include "app/settings_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray written = qm::app::settings_document::parse(bytes).serialize();
    qm::app::settings_document::parse(written).serialize();
    return 0;
}
