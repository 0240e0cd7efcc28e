// Reading a calendar of 5,000 events: the exchange's reader (each event
// parsed on its own, with its times, zones and rules turned into the
// planner's) against libical parsing the same text in one call.

#include "bench_support.h"
#include "exchange/ics_document.h"

#include <libical/ical.h>

#include <cstdio>

namespace {

constexpr int event_count = 5000;

QByteArray calendar_text()
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n";
    for (int i = 0; i < event_count; ++i) {
        const int day = 1 + i % 28, month = 1 + (i / 28) % 12;
        out += QString::asprintf("BEGIN:VEVENT\r\nUID:event-%d@bench\r\nDTSTAMP:20260101T000000Z\r\n"
                                 "DTSTART:2026%02d%02dT%02d0000Z\r\nDTEND:2026%02d%02dT%02d3000Z\r\n"
                                 "SUMMARY:Appointment number %d\\, with a comma\r\n"
                                 "DESCRIPTION:Some words about it\\nand a second line\r\n%sEND:VEVENT\r\n",
                                 i, month, day, 8 + i % 9, month, day, 8 + i % 9, i,
                                 i % 5 == 0 ? "RRULE:FREQ=WEEKLY;BYDAY=MO,TH;UNTIL=20261231T000000Z\r\n" : "")
                   .toLatin1();
    }
    return out + "END:VCALENDAR\r\n";
}

const QByteArray& text()
{
    static const QByteArray t = calendar_text();
    return t;
}

void exchange_reader(benchmark::State& state)
{
    for (auto _ : state) {
        qm::exchange::ics_document d;
        QString error;
        d.parse(text(), error);
        benchmark::DoNotOptimize(d.items().size());
    }
    state.SetItemsProcessed(state.iterations() * event_count);
}

void bare_libical_parse(benchmark::State& state)
{
    for (auto _ : state) {
        icalcomponent* c = icalparser_parse_string(text().constData());
        benchmark::DoNotOptimize(c);
        icalcomponent_free(c);
    }
    state.SetItemsProcessed(state.iterations() * event_count);
}

}  // namespace

BENCHMARK(exchange_reader)->Unit(benchmark::kMillisecond);
BENCHMARK(bare_libical_parse)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    qm::bench::collecting_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.times["exchange_reader"];
    const double bare = reporter.times["bare_libical_parse"];
    if (bare > 0)
        std::printf("\nreading %d events %.1f ms, bare libical parse %.1f ms, ratio %.2f\n", event_count, ours, bare,
                    ours / bare);
    return 0;
}
