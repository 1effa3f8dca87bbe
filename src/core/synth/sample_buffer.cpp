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

SampleBuffer::SampleBuffer(std::initializer_list<Sample> samples)
{
    assignZeros(samples.size());
    std::copy(samples.begin(), samples.end(), begin());
}

SampleBuffer::SampleBuffer(std::size_t count, Sample value)
{
    assignZeros(count);
    if (value != 0)
        std::fill(begin(), end(), value);
}

SampleBuffer::SampleBuffer(const SampleBuffer& other)
{
    *this = other;
}

SampleBuffer& SampleBuffer::operator=(const SampleBuffer& other)
{
    if (this != &other) {
        assignZeros(other.size());
        std::copy(other.begin(), other.end(), begin());
    }
    return *this;
}

bool operator==(const SampleBuffer& a, const SampleBuffer& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

void SampleBuffer::Release::operator()(Sample* block) const
{
    if (bytes >= kMappedBytes)
        ::munmap(block, bytes);
    else
        std::free(block);
}

void SampleBuffer::assignZeros(std::size_t count)
{
    m_data.reset();
    m_size = 0;
    const std::size_t bytes = std::max<std::size_t>(count, 1) * sizeof(Sample);
    Sample* block = nullptr;
    if (bytes >= kMappedBytes) {
        void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        ::madvise(mapped, bytes, MADV_HUGEPAGE);
        block = static_cast<Sample*>(mapped);
    } else {
        block = static_cast<Sample*>(std::calloc(bytes / sizeof(Sample), sizeof(Sample)));
        if (block == nullptr)
            throw std::bad_alloc();
    }
    m_data = std::unique_ptr<Sample[], Release>(block, Release{bytes});
    m_size = count;
}

} // namespace kelvo
