// The time-of-day reader, in both clock modes. Hours and minutes beyond the
// day ("25:00", "12:99") are read as they are by design, so only crashes,
// hangs and undefined behaviour count here.

#include "fuzz_input.h"
#include "time/parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    qm::fuzz::fuzz_input input(data, size);
    const bool twenty_four_hour = (input.take_byte() & 1) != 0;
    qm::time::parse_time_of_day(input.rest_as_text(), twenty_four_hour);
    return 0;
}
