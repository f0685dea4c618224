// CProgress: how far a long computation has come, and the user's wish to stop it.
//
// A front end that runs an action on a worker thread hands the action a CProgress; the engines'
// long loops (an SM4 repeat run, a prime search, a listing of megabytes) call Step now and then and
// stop when it says so. Every member may be called from any thread.
#pragma once

#include <atomic>
#include <cstdint>

class CProgress {
public:
    // Cancel asks the work to stop at its next Step.
    void Cancel() noexcept { m_cancelled.store(true, std::memory_order_relaxed); }
    bool Cancelled() const noexcept { return m_cancelled.load(std::memory_order_relaxed); }

    // Step records that `done` of `total` units are finished (total 0: the amount is not known)
    // and gives false when the work should stop because Cancel was called.
    bool Step(uint64_t done, uint64_t total) noexcept {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        return !Cancelled();
    }

    uint64_t Done() const noexcept { return m_done.load(std::memory_order_relaxed); }
    uint64_t Total() const noexcept { return m_total.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<uint64_t> m_done{0};
    std::atomic<uint64_t> m_total{0};
};

// StepOrContinue is Step on an optional progress object: without one the work always goes on.
inline bool StepOrContinue(CProgress* progress, uint64_t done, uint64_t total) noexcept {
    return progress == nullptr || progress->Step(done, total);
}
