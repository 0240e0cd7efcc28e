#pragma once
// Turns a fuzzer's bytes into what the readers get: a few leading bytes pick
// the settings of the call, the rest is the text (UTF-8, as typed or pasted).

#include <QString>

#include <cstddef>
#include <cstdint>

namespace qm::fuzz {

class fuzz_input {
public:
    fuzz_input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next byte, or 0 when there is none.
    std::uint8_t take_byte()
    {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }
    QString rest_as_text() const
    {
        return QString::fromUtf8(reinterpret_cast<const char*>(data_), static_cast<qsizetype>(size_));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace qm::fuzz
