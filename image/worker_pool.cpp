#include "image/worker_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaro {

namespace {

constexpr int kMaxThreads = 64;

int DefaultThreadCount() {
  if (const char* value = std::getenv("TESSARO_THREADS")) {
    const int n = std::atoi(value);
    if (n >= 1 && n <= kMaxThreads) return n;
  }
  const unsigned hardware = std::thread::hardware_concurrency();
  return std::clamp<int>(hardware == 0 ? 1 : int(hardware), 1, 16);
}

std::atomic<int> overriddenCount{0};

class WorkerPool {
 public:
  ~WorkerPool() { Stop(); }

  void Run(int threads, const std::function<void(int)>& task) {
    threads = std::clamp(threads, 1, kMaxThreads);
    if (threads == 1) {
      task(0);
      return;
    }
    {
      std::unique_lock<std::mutex> lock(mutex_);
      // Threads that cannot be had leave the work to the ones that could.
      while (int(workers_.size()) < threads - 1) {
        try {
          const int index = int(workers_.size()) + 1;
          workers_.emplace_back([this, index] { Work(index); });
        } catch (const std::exception&) {
          break;
        }
      }
      threads = std::min(threads, int(workers_.size()) + 1);
      task_ = &task;
      active_ = threads;
      pending_ = threads - 1;
      error_ = nullptr;
      ++generation_;
    }
    wake_.notify_all();
    std::exception_ptr mine;
    try {
      task(0);
    } catch (...) {
      mine = std::current_exception();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return pending_ == 0; });
    task_ = nullptr;
    if (mine) std::rethrow_exception(mine);
    if (error_) std::rethrow_exception(error_);
  }

  void Stop() {
    std::vector<std::thread> workers;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      workers.swap(workers_);
    }
    wake_.notify_all();
    for (std::thread& t : workers) t.join();
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
  }

 private:
  void Work(int index) {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      if (index >= active_) continue;
      const std::function<void(int)>* task = task_;
      lock.unlock();
      std::exception_ptr failure;
      try {
        (*task)(index);
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure && !error_) error_ = failure;
      if (--pending_ == 0) done_.notify_one();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::vector<std::thread> workers_;
  const std::function<void(int)>* task_ = nullptr;
  std::exception_ptr error_;
  uint64_t generation_ = 0;
  int active_ = 0;
  int pending_ = 0;
  bool stopping_ = false;
};

WorkerPool& Pool() {
  static WorkerPool pool;
  return pool;
}

}  // namespace

int WorkerThreadCount() {
  const int overridden = overriddenCount.load(std::memory_order_relaxed);
  if (overridden > 0) return overridden;
  static const int standard = DefaultThreadCount();
  return standard;
}

void SetWorkerThreadCount(int threads) {
  overriddenCount.store(std::clamp(threads, 0, kMaxThreads), std::memory_order_relaxed);
}

int ThreadsFor(int64_t pixels) {
  constexpr int64_t kPixelsPerThread = int64_t(1) << 17;
  return int(std::clamp<int64_t>(pixels / kPixelsPerThread, 1, WorkerThreadCount()));
}

void RunOnWorkers(int threads, const std::function<void(int)>& task) { Pool().Run(threads, task); }

void StopWorkers() { Pool().Stop(); }

}  // namespace tessaro
