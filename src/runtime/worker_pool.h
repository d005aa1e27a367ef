// A small pool of worker threads, started once and kept, that shares out the
// bands of one piece of work (the 3-D view's columns) and waits for them all.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnby {

class WorkerPool {
public:
    // The most threads a pool runs, the caller's included.
    static constexpr int32_t kMaxThreads = 8;
    // The most bands one run shares out.
    static constexpr int32_t kMaxBands = 0xFFFF;

    // One band of the work: band is 0 .. bands - 1.
    using Job = void (*)(void* context, int32_t band);

    // A pool of `threads` threads, the caller's included (clamped to
    // 1 .. kMaxThreads): threads - 1 workers are started now and sleep until run.
    explicit WorkerPool(int32_t threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int32_t threads() const { return static_cast<int32_t>(m_workers.size()) + 1; }

    // Runs job(context, band) for every band (clamped to 0 .. kMaxBands), the
    // calling thread taking bands too, and returns when every band is done.
    // Bands go to whichever thread asks first, so a job's result must not
    // depend on which thread runs a band. Taking a band is one atomic add;
    // the lock is taken only to wake the workers and to wait for the last
    // band. Allocates nothing; one caller at a time.
    void run(Job job, void* context, int32_t bands);

    // The threads a pool should have here: the hardware's, at most
    // kMaxThreads, or what setPreferredThreads asked for.
    static int32_t preferredThreads();
    // 0 goes back to the hardware's count.
    static void setPreferredThreads(int32_t threads);
    // The process's shared pool, started at the first call with
    // preferredThreads() threads and kept until exit.
    static WorkerPool& shared();

private:
    void workerLoop();
    // Takes bands of the current run until none are left.
    void drain();

    // The run's bands: generation (16 bits), band count (16), next band (32).
    // A thread takes a band by adding one; the run's job and context are
    // written before the ticket is published and read only by a thread that
    // took a band of it.
    std::atomic<uint64_t> m_ticket { 0 };
    std::atomic<uint32_t> m_done { 0 };  // bands finished in the current run
    // Sleeping and waking: the workers wait for m_runs to change, the caller
    // for the last band.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_finished;
    uint32_t m_runs = 0;  // under m_mutex
    bool m_stop = false;  // under m_mutex
    Job m_job = nullptr;
    void* m_context = nullptr;
    uint64_t m_generation = 0;
    std::vector<std::thread> m_workers;
};

}  // namespace tarnby
