// The text paste reader: any text reads to lines whose parents come before
// them, in either mode, or is refused.

#include "fuzz_input.h"
#include "model/text_outline.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qm::fuzz::fuzz_input in(data, size);
    const bool heading_mode = (in.take_byte() & 1) != 0;
    const QString text = in.rest_as_text();
    (void)qm::model::outline_refusal(text);
    const qm::model::outline o = qm::model::read_outline(text, heading_mode);
    for (std::size_t i = 0; i < o.lines.size(); ++i) {
        const int parent = o.lines[i].parent;
        if (parent >= static_cast<int>(i) || parent < -1 || (!heading_mode && parent != -1))
            std::abort();
    }
    return 0;
}
