#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

#include "core/runtime/rounding.h"

namespace kelvo {

using Sample = std::int16_t;
using FrameIndex = std::int64_t;

// The engine's block of samples, interleaved stereo: element 2n is the left sample of
// frame n, 2n + 1 its right sample. The element count may be odd (a trailing half frame).
// A large block comes straight from the kernel as zero pages (huge pages where the system
// offers them), so sizing it costs no clearing pass and its pages are first touched by the
// threads that render into them.
class SampleBuffer {
public:
    using value_type = Sample;
    using iterator = Sample*;
    using const_iterator = const Sample*;

    SampleBuffer() = default;
    SampleBuffer(std::initializer_list<Sample> samples);
    // `count` elements, each `value`.
    explicit SampleBuffer(std::size_t count, Sample value = 0);
    SampleBuffer(const SampleBuffer& other);
    SampleBuffer& operator=(const SampleBuffer& other);
    SampleBuffer(SampleBuffer&& other) noexcept
        : m_data(std::move(other.m_data))
        , m_size(std::exchange(other.m_size, 0))
    {
    }
    SampleBuffer& operator=(SampleBuffer&& other) noexcept
    {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        return *this;
    }

    // Replaces the block by `count` zero elements; the old block is freed first.
    void assignZeros(std::size_t count);

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    Sample* data() { return m_data.get(); }
    const Sample* data() const { return m_data.get(); }
    Sample& operator[](std::size_t i) { return m_data[i]; }
    const Sample& operator[](std::size_t i) const { return m_data[i]; }
    Sample* begin() { return data(); }
    Sample* end() { return data() + m_size; }
    const Sample* begin() const { return data(); }
    const Sample* end() const { return data() + m_size; }
    Sample back() const { return m_data[m_size - 1]; }

    friend bool operator==(const SampleBuffer& a, const SampleBuffer& b);

private:
    struct Release {
        std::size_t bytes;
        void operator()(Sample* block) const;
    };

    std::unique_ptr<Sample[], Release> m_data{nullptr, Release{0}};
    std::size_t m_size = 0;
};

// Stores the nearest integer of `value`, saturated to -32768..32767. A NaN is not stored:
// the element keeps what it held.
inline void StoreSample(Sample& element, double value)
{
    if (std::isnan(value))
        return;
    const double limited = value < -32768.0 ? -32768.0 : (value > 32767.0 ? 32767.0 : value);
    element = static_cast<Sample>(RoundHalfEven(limited));
}

} // namespace kelvo
