// The clipboard and drag document readers: any text, from this database or
// from none, reads to some list of items without a crash, and what they
// read writes and reads back the same.

#include "app/item_documents.h"
#include "fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qm::fuzz::fuzz_input in(data, size);
    const QString path = QStringLiteral("/data/ferncastle.db");
    const QString text = in.rest_as_text();
    const qm::app::clipboard_contents clip = qm::app::read_clipboard_document(text, path);
    const qm::app::clipboard_contents again =
        qm::app::read_clipboard_document(qm::app::write_clipboard_document(path, clip.items, clip.cut), path);
    if (again.items != clip.items || again.cut != clip.cut)
        std::abort();
    const qm::app::drag_contents drag = qm::app::read_drag_document(text, path);
    if (qm::app::read_drag_document(qm::app::write_drag_document(path, drag.focused, drag.items), path).items !=
        drag.items)
        std::abort();
    return 0;
}
