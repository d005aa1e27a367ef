// The worker pool: every band of a run done exactly once by any thread count,
// runs after runs without a lost or doubled band, and the thread settings.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "runtime/worker_pool.h"

namespace tarnby {
namespace {

// Counts how often each band ran and on which threads.
struct Tally {
    std::vector<std::atomic<int32_t>> runs;
    std::atomic<int32_t> otherThreads { 0 };
    std::thread::id caller = std::this_thread::get_id();

    explicit Tally(int32_t bands) : runs(static_cast<size_t>(bands)) {}

    static void job(void* context, int32_t band)
    {
        Tally& t = *static_cast<Tally*>(context);
        t.runs[static_cast<size_t>(band)].fetch_add(1, std::memory_order_relaxed);
        if (std::this_thread::get_id() != t.caller) {
            t.otherThreads.fetch_add(1, std::memory_order_relaxed);
        }
    }
};

TEST(WorkerPoolTest, EveryBandRunsExactlyOnceWhateverTheThreads)
{
    for (int32_t threads : { 1, 2, 3, 8 }) {
        WorkerPool pool(threads);
        ASSERT_EQ(pool.threads(), threads);
        for (int32_t bands : { 1, 2, 3, 7, 64, 240 }) {
            Tally tally(bands);
            pool.run(&Tally::job, &tally, bands);
            for (int32_t b = 0; b < bands; ++b) {
                ASSERT_EQ(tally.runs[static_cast<size_t>(b)].load(), 1)
                    << "band " << b << " of " << bands << " with " << threads << " threads";
            }
            if (threads == 1) {
                EXPECT_EQ(tally.otherThreads.load(), 0) << "a pool of one runs everything on the caller";
            }
        }
    }
}

TEST(WorkerPoolTest, RunAfterRunLosesAndRepeatsNoBand)
{
    // Many short runs back to back: a worker that wakes late for one run
    // must neither take a band of the next one twice nor miss one.
    WorkerPool pool(3);
    std::vector<int32_t> sums(500, 0);
    struct Work {
        std::atomic<int32_t> sum { 0 };
        static void job(void* context, int32_t band)
        {
            static_cast<Work*>(context)->sum.fetch_add(band + 1, std::memory_order_relaxed);
        }
    };
    for (size_t run = 0; run < sums.size(); ++run) {
        const int32_t bands = 1 + static_cast<int32_t>(run % 13);
        Work work;
        pool.run(&Work::job, &work, bands);
        ASSERT_EQ(work.sum.load(), bands * (bands + 1) / 2) << "run " << run;
    }
}

TEST(WorkerPoolTest, BandsAreClampedAndNothingRunsForNone)
{
    WorkerPool pool(2);
    Tally none(1);
    pool.run(&Tally::job, &none, 0);
    pool.run(&Tally::job, &none, -5);
    EXPECT_EQ(none.runs[0].load(), 0) << "no bands, no calls";
    pool.run(nullptr, &none, 4);  // no job: nothing to do, nothing to crash

    EXPECT_EQ(WorkerPool(0).threads(), 1) << "at least the caller";
    EXPECT_EQ(WorkerPool(-3).threads(), 1);
    EXPECT_EQ(WorkerPool(99).threads(), WorkerPool::kMaxThreads);
}

TEST(WorkerPoolTest, PreferredThreadsFollowTheSetting)
{
    const int32_t hardware = WorkerPool::preferredThreads();
    EXPECT_GE(hardware, 1);
    EXPECT_LE(hardware, WorkerPool::kMaxThreads);
    WorkerPool::setPreferredThreads(1);
    EXPECT_EQ(WorkerPool::preferredThreads(), 1) << "one thread when asked";
    WorkerPool::setPreferredThreads(50);
    EXPECT_EQ(WorkerPool::preferredThreads(), WorkerPool::kMaxThreads);
    WorkerPool::setPreferredThreads(0);
    EXPECT_EQ(WorkerPool::preferredThreads(), hardware) << "0 goes back to the hardware's count";
}

}  // namespace
}  // namespace tarnby
