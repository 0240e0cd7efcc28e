// Writes the default alarm sound, "alarm.wav": a soft two-note chime, rung
// twice. Made at build time so the project ships no recorded sound.
//   make_alarm OUTPUT.wav

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int rate = 22050;
constexpr double pi = 3.14159265358979323846;

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// One struck note: a sine with two quieter overtones, a short attack and an
// exponential decay, added into the buffer at the given start.
void ring(std::vector<double>& samples, double start_s, double frequency, double length_s)
{
    const int first = static_cast<int>(start_s * rate);
    const int count = static_cast<int>(length_s * rate);
    if (samples.size() < static_cast<std::size_t>(first + count))
        samples.resize(first + count, 0.0);
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = t < 0.01 ? t / 0.01 : 1.0;
        const double envelope = attack * std::exp(-4.5 * t);
        const double w = 2 * pi * frequency * t;
        samples[first + i] += envelope * (std::sin(w) + 0.3 * std::sin(2 * w) + 0.12 * std::sin(3 * w));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_alarm OUTPUT.wav\n");
        return 2;
    }
    std::vector<double> samples;
    for (double at : {0.0, 0.9}) {
        ring(samples, at, 1318.51, 0.8);        // E6
        ring(samples, at + 0.22, 1046.50, 0.9);  // C6
    }
    samples.resize(samples.size() + rate / 10, 0.0);  // a little silence at the end

    double peak = 0;
    for (double s : samples)
        peak = std::fmax(peak, std::fabs(s));
    const double scale = peak > 0 ? 0.7 * 32767 / peak : 0;

    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    for (char c : {'R', 'I', 'F', 'F'})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 36 + data_bytes);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 16);        // size of the format block
    put16(out, 1);         // PCM
    put16(out, 1);         // mono
    put32(out, rate);
    put32(out, rate * 2);  // bytes per second
    put16(out, 2);         // bytes per frame
    put16(out, 16);        // bits per sample
    for (char c : {'d', 'a', 't', 'a'})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, data_bytes);
    for (double s : samples)
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(s * scale))));

    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    if (std::fclose(f) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
