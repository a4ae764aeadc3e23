#pragma once

#include <QtGlobal>

#include <deque>
#include <functional>
#include <future>

// A long run of rows made in chunks on worker threads, a few at a time, and taken in order: the
// making of the later chunks overlaps with what is done with the earlier ones (writing them to a
// file), and the machine's cores share the making. A short run is made where it is asked for:
// a thread would cost more. What the rows are read from must not change meanwhile; the caller
// waits for every chunk it takes.
template <typename Chunk> class OrderedChunks
{
public:
    using Make = std::function<Chunk(int from, int to)>;

    OrderedChunks(int rows, Make make, int chunkRows = kChunkRows)
        : m_rows(rows), m_chunkRows(chunkRows), m_make(std::move(make))
    {}
    ~OrderedChunks()
    {
        for (std::future<Chunk> &chunk : m_pending)
            chunk.wait(); // nothing outlives what it reads
    }
    OrderedChunks(const OrderedChunks &) = delete;
    OrderedChunks &operator=(const OrderedChunks &) = delete;

    // The next chunk in order; false after the last. What making it threw is thrown here.
    bool next(Chunk &chunk)
    {
        while (m_pending.size() < kChunksAhead && m_nextRow < m_rows) {
            const int from = m_nextRow;
            const int to = qMin(from + m_chunkRows, m_rows);
            const auto policy = m_rows > m_chunkRows ? std::launch::async : std::launch::deferred;
            m_pending.push_back(std::async(policy, m_make, from, to));
            m_nextRow = to;
        }
        if (m_pending.empty())
            return false;
        chunk = m_pending.front().get();
        m_pending.pop_front();
        return true;
    }

    // No chunk is begun after the ones begun already, and none is taken after this one.
    void stop()
    {
        m_nextRow = m_rows;
        for (std::future<Chunk> &chunk : m_pending)
            chunk.wait();
        m_pending.clear();
    }

private:
    static constexpr int kChunkRows = 4096;
    static constexpr size_t kChunksAhead = 4;

    int m_rows;
    int m_chunkRows;
    Make m_make;
    int m_nextRow = 0;
    std::deque<std::future<Chunk>> m_pending;
};
