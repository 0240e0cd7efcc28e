// The duration reader.

#include "fuzz_input.h"
#include "time/parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qm::time::parse_duration_checked(qm::fuzz::fuzz_input(data, size).rest_as_text());
    return 0;
}
