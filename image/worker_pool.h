// A small pool of worker threads for the relief's stages.  The threads are started
// at the first parallel job and kept for the following ones; StopWorkers
// joins them.  The module stops them before every return to the host, so no
// thread of the module outlives a host call: a host may unload the module
// between any two calls, and a library cannot join threads while it is being
// unloaded.
#pragma once

#include <cstdint>
#include <functional>

namespace tessaro {

// How many threads (the caller included) the renderer uses: TESSARO_THREADS
// when set to 1..64, else the machine's processor count, at most 16.
int WorkerThreadCount();
// Overrides the count (0 restores the default); for tests and benchmarks.
void SetWorkerThreadCount(int threads);

// Threads worth using for `pixels` of work: one per 2^17, at most
// WorkerThreadCount (small jobs stay on the calling thread).
int ThreadsFor(int64_t pixels);

// Rows are dealt out in bands of 8, round robin, for an even load.
inline bool OwnsRow(int64_t row, int thread, int threads) { return (row / 8) % threads == thread; }

// Runs task(0) .. task(threads - 1) at once, task(0) on the calling thread,
// and returns when all have finished.  An exception thrown by a task is
// rethrown here after all have finished.  Not re-entrant.
void RunOnWorkers(int threads, const std::function<void(int)>& task);

// Joins the worker threads; the next job starts them again.
void StopWorkers();

}  // namespace tessaro
