#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>
#include <vector>

namespace roulette
{

/// A growable array kept in chunks of (1 << ChunkShift) elements, so that growing never
/// copies what is already there and a long run never needs one huge allocation.
template <typename T, int ChunkShift> class ChunkedArray
{
public:
    ChunkedArray() = default;
    ChunkedArray(const ChunkedArray &other) : m_size(other.m_size)
    {
        for (const auto &chunk : other.m_chunks) {
            m_chunks.push_back(std::make_unique<T[]>(std::size_t{1} << ChunkShift));
            std::copy_n(chunk.get(), std::size_t{1} << ChunkShift, m_chunks.back().get());
        }
    }
    ChunkedArray &operator=(const ChunkedArray &other)
    {
        if (this != &other)
            *this = ChunkedArray(other);
        return *this;
    }
    ChunkedArray(ChunkedArray &&) noexcept = default;
    ChunkedArray &operator=(ChunkedArray &&) noexcept = default;
    ~ChunkedArray() = default;

    std::int64_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    const T &operator[](std::int64_t i) const
    {
        assert(i >= 0 && i < m_size);
        return m_chunks[static_cast<std::size_t>(i >> ChunkShift)][i & Mask];
    }
    T &back() { return (*this)[m_size - 1]; }
    T &operator[](std::int64_t i)
    {
        assert(i >= 0 && i < m_size);
        return m_chunks[static_cast<std::size_t>(i >> ChunkShift)][i & Mask];
    }

    void push_back(const T &value)
    {
        // Zeroing the chunk touches its pages once here, not at every later element.
        if ((m_size & Mask) == 0)
            m_chunks.push_back(std::make_unique<T[]>(std::size_t{1} << ChunkShift));
        m_chunks.back()[m_size & Mask] = value;
        ++m_size;
    }
    void pop_back()
    {
        assert(m_size > 0);
        --m_size;
        if ((m_size & Mask) == 0)
            m_chunks.pop_back();
    }
    void clear()
    {
        m_chunks.clear();
        m_size = 0;
    }

private:
    static constexpr std::int64_t Mask = (std::int64_t{1} << ChunkShift) - 1;

    std::vector<std::unique_ptr<T[]>> m_chunks;
    std::int64_t m_size = 0;
};

} // namespace roulette
