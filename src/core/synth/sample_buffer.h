#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

#include "core/runtime/rounding.h"

namespace kelvo {

using Sample = std::int16_t;
// A sample of a render finer than 16 bits, on the same scale (full scale 32767), unrounded.
using FineSample = float;
using FrameIndex = std::int64_t;

// The engine's block of samples, interleaved stereo: element 2n is the left sample of
// frame n, 2n + 1 its right sample. The element count may be odd (a trailing half frame).
// A large block comes straight from the kernel as zero pages (huge pages where the system
// offers them), so sizing it costs no clearing pass and its pages are first touched by the
// threads that render into them.
template <typename T> class BasicSampleBuffer {
public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    BasicSampleBuffer() = default;
    BasicSampleBuffer(std::initializer_list<T> samples);
    // `count` elements, each `value`.
    explicit BasicSampleBuffer(std::size_t count, T value = 0);
    BasicSampleBuffer(const BasicSampleBuffer& other);
    BasicSampleBuffer& operator=(const BasicSampleBuffer& other);
    BasicSampleBuffer(BasicSampleBuffer&& other) noexcept
        : m_data(std::move(other.m_data))
        , m_size(std::exchange(other.m_size, 0))
    {
    }
    BasicSampleBuffer& operator=(BasicSampleBuffer&& other) noexcept
    {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        return *this;
    }

    // Replaces the block by `count` zero elements; the old block is freed first.
    void assignZeros(std::size_t count);

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T* data() { return m_data.get(); }
    const T* data() const { return m_data.get(); }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T* begin() { return data(); }
    T* end() { return data() + m_size; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + m_size; }
    T back() const { return m_data[m_size - 1]; }

    friend bool operator==(const BasicSampleBuffer& a, const BasicSampleBuffer& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    struct Release {
        std::size_t bytes;
        void operator()(T* block) const;
    };

    std::unique_ptr<T[], Release> m_data{nullptr, Release{0}};
    std::size_t m_size = 0;
};

using SampleBuffer = BasicSampleBuffer<Sample>;
using FineSampleBuffer = BasicSampleBuffer<FineSample>;

// Stores the nearest integer of `value`, saturated to -32768..32767. A NaN is not stored:
// the element keeps what it held.
inline void StoreSample(Sample& element, double value)
{
    if (std::isnan(value))
        return;
    const double limited = value < -32768.0 ? -32768.0 : (value > 32767.0 ? 32767.0 : value);
    element = static_cast<Sample>(RoundHalfEven(limited));
}

// Stores `value` saturated to the same range, unrounded. A NaN is not stored.
inline void StoreSample(FineSample& element, double value)
{
    if (std::isnan(value))
        return;
    element = static_cast<FineSample>(value < -32768.0 ? -32768.0 : (value > 32767.0 ? 32767.0 : value));
}

} // namespace kelvo
