#include "core/synth/sample_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace kelvo {
namespace {

// Below this size the C library's zeroed allocation is cheaper than a mapping of its own.
constexpr std::size_t kMappedBytes = std::size_t{4} << 20;

} // namespace

template <typename T> BasicSampleBuffer<T>::BasicSampleBuffer(std::initializer_list<T> samples)
{
    assignZeros(samples.size());
    std::copy(samples.begin(), samples.end(), begin());
}

template <typename T> BasicSampleBuffer<T>::BasicSampleBuffer(std::size_t count, T value)
{
    assignZeros(count);
    if (value != 0)
        std::fill(begin(), end(), value);
}

template <typename T> BasicSampleBuffer<T>::BasicSampleBuffer(const BasicSampleBuffer& other)
{
    *this = other;
}

template <typename T> BasicSampleBuffer<T>& BasicSampleBuffer<T>::operator=(const BasicSampleBuffer& other)
{
    if (this != &other) {
        assignZeros(other.size());
        std::copy(other.begin(), other.end(), begin());
    }
    return *this;
}

template <typename T> void BasicSampleBuffer<T>::Release::operator()(T* block) const
{
    if (bytes >= kMappedBytes)
        ::munmap(block, bytes);
    else
        std::free(block);
}

template <typename T> void BasicSampleBuffer<T>::assignZeros(std::size_t count)
{
    m_data.reset();
    m_size = 0;
    const std::size_t bytes = std::max<std::size_t>(count, 1) * sizeof(T);
    T* block = nullptr;
    if (bytes >= kMappedBytes) {
        void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        ::madvise(mapped, bytes, MADV_HUGEPAGE);
        block = static_cast<T*>(mapped);
    } else {
        block = static_cast<T*>(std::calloc(bytes / sizeof(T), sizeof(T)));
        if (block == nullptr)
            throw std::bad_alloc();
    }
    m_data = std::unique_ptr<T[], Release>(block, Release{bytes});
    m_size = count;
}

template class BasicSampleBuffer<Sample>;
template class BasicSampleBuffer<FineSample>;

} // namespace kelvo
