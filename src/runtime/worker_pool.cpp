// The worker pool: band tickets, sleeping workers and the shared pool.
#include "runtime/worker_pool.h"

#include <algorithm>

namespace tarnby {

namespace {

std::atomic<int32_t> g_preferredThreads { 0 };

constexpr uint64_t kBandMask = 0xFFFFFFFFull;

}  // namespace

WorkerPool::WorkerPool(int32_t threads)
{
    threads = std::clamp(threads, 1, kMaxThreads);
    m_workers.reserve(static_cast<size_t>(threads - 1));
    for (int32_t i = 1; i < threads; ++i) {
        m_workers.emplace_back([this] { workerLoop(); });
    }
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void WorkerPool::run(Job job, void* context, int32_t bands)
{
    bands = std::clamp(bands, 0, kMaxBands);
    if (bands == 0 || !job) {
        return;
    }
    if (m_workers.empty() || bands == 1) {
        for (int32_t band = 0; band < bands; ++band) {
            job(context, band);  // nobody to share with
        }
        return;
    }
    // Every band of the last run is done, so no worker reads these now.
    m_job = job;
    m_context = context;
    m_done.store(0, std::memory_order_relaxed);
    m_generation = (m_generation + 1) & 0xFFFF;
    m_ticket.store((m_generation << 48) | (static_cast<uint64_t>(bands) << 32), std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_runs;
    }
    m_wake.notify_all();
    drain();
    const uint32_t all = static_cast<uint32_t>(bands);
    if (m_done.load(std::memory_order_acquire) < all) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_finished.wait(lock, [&] { return m_done.load(std::memory_order_acquire) >= all; });
    }
}

void WorkerPool::drain()
{
    for (;;) {
        // A thread that wakes late may add to a finished run's ticket: its
        // band number is then past the count and it takes nothing.
        const uint64_t ticket = m_ticket.fetch_add(1, std::memory_order_acq_rel);
        const uint64_t bands = (ticket >> 32) & 0xFFFF;
        const uint64_t band = ticket & kBandMask;
        if (band >= bands) {
            return;
        }
        m_job(m_context, static_cast<int32_t>(band));
        if (m_done.fetch_add(1, std::memory_order_acq_rel) + 1 == bands) {
            // The caller may be about to wait: tell it under the lock, so
            // that it either sees the count or is woken.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished.notify_one();
        }
    }
}

void WorkerPool::workerLoop()
{
    uint32_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_runs != seen || m_stop; });
            if (m_stop) {
                return;
            }
            seen = m_runs;
        }
        drain();
    }
}

int32_t WorkerPool::preferredThreads()
{
    const int32_t asked = g_preferredThreads.load(std::memory_order_relaxed);
    if (asked > 0) {
        return std::min(asked, kMaxThreads);
    }
    const int32_t hardware = static_cast<int32_t>(std::thread::hardware_concurrency());
    return std::clamp(hardware, 1, kMaxThreads);
}

void WorkerPool::setPreferredThreads(int32_t threads)
{
    g_preferredThreads.store(std::max(threads, 0), std::memory_order_relaxed);
}

WorkerPool& WorkerPool::shared()
{
    static WorkerPool pool(preferredThreads());
    return pool;
}

}  // namespace tarnby
