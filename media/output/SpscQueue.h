#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace tv::media {

// A fixed-size queue between exactly one producer thread and one consumer
// thread, without locks, so that the sound-server thread never waits on the
// decoder. push() belongs to the producer, pop() to the consumer; both return
// at once (false when full or empty).
template <typename T> class SpscQueue
{
public:
    explicit SpscQueue(std::size_t capacity) : m_slots(capacity + 1) {}

    bool push(T value)
    {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t next = (tail + 1) % m_slots.size();
        if (next == m_head.load(std::memory_order_acquire))
            return false;
        m_slots[tail] = value;
        m_tail.store(next, std::memory_order_release);
        return true;
    }

    bool pop(T &value)
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return false;
        value = m_slots[head];
        m_head.store((head + 1) % m_slots.size(), std::memory_order_release);
        return true;
    }

    // The front item without taking it (consumer only); null when empty.
    const T *peek() const
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return nullptr;
        return &m_slots[head];
    }

private:
    std::vector<T> m_slots;
    std::atomic<std::size_t> m_head{0};
    std::atomic<std::size_t> m_tail{0};
};

} // namespace tv::media
