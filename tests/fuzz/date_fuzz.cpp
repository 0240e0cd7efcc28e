// The date reader: any text, any of the short date patterns, any reference day.

#include "fuzz_input.h"
#include "time/parse.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const patterns[] = {"M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yy", "MMM d, yyyy", "d. MMMM yyyy"};
    qm::fuzz::fuzz_input input(data, size);
    const QString pattern = QString::fromLatin1(patterns[input.take_byte() % (sizeof patterns / sizeof *patterns)]);
    // A reference day anywhere from 1970 to about 2149.
    const qm::time::stored_date reference = 86400LL * ((input.take_byte() << 8) | input.take_byte());
    const qm::time::parsed_date parsed = qm::time::parse_date(input.rest_as_text(), pattern, reference);
    if (!parsed.failed && parsed.date % 86400 != 0)
        std::abort();  // a date is always a midnight
    return 0;
}
