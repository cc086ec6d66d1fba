// Reading files on several threads for one scan.
//
// The scan hands out jobs (open, read and digest one file) in the order it
// will need their results, and takes the results in that order. Helper
// threads run jobs from the front of the queue; the scan's own thread, when
// it waits for a job, runs that job itself if no helper has taken it yet,
// and otherwise runs other waiting jobs until it is done. With no helper
// threads every job therefore runs on the scan's thread, when it is needed
// and in order, exactly as a single reader would read.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/scan/file_digest.h"

namespace ts::app {

class ReadJob {
 public:
  virtual ~ReadJob() = default;
  // Runs on whichever thread takes the job.
  virtual void Run() = 0;

 private:
  friend class ReadPool;
  enum class State : uint8_t { Queued, Running, Done };
  State state_ = State::Queued;  // guarded by the pool's lock
};

class ReadPool {
 public:
  // `readers` counts the scan's own thread: readers - 1 helpers are
  // started. `pieceBytes` is the read piece of every reading thread. Made
  // and destroyed on the scan's thread.
  ReadPool(uint32_t readers, uint32_t pieceBytes);
  // Lets running jobs end and joins the helpers; jobs never taken are left
  // as they are. A job must outlive the pool or have been waited for; a
  // queue never holds a job that has run.
  ~ReadPool();
  ReadPool(const ReadPool&) = delete;
  ReadPool& operator=(const ReadPool&) = delete;

  // Queues a job. An urgent job (the scan waits for it next) goes before
  // every job queued ahead of time.
  void Submit(ReadJob* job, bool urgent = false);
  // Returns once the job has run, on this thread or on a helper.
  void Wait(ReadJob* job);

  uint32_t readers() const { return static_cast<uint32_t>(helpers_.size()) + 1; }

 private:
  // The first job still queued, out of its queue and marked running; null
  // when none. Lock held.
  ReadJob* Take();
  // The same for a given queued job. Lock held.
  void TakeThis(ReadJob* job);
  void RunTaken(ReadJob* job, std::unique_lock<std::mutex>& lock);
  void Helper(uint32_t pieceBytes);

  ReadPieces pieces_;  // the scan's own thread's, while the pool lives
  std::mutex lock_;
  std::condition_variable work_;  // a job was queued, or the pool ends
  std::condition_variable done_;  // a job has run
  std::deque<ReadJob*> urgent_, queued_;
  bool ending_ = false;
  std::vector<std::thread> helpers_;
};

// How many readers suit a folder: one per processor this program may run
// on, at most 8, and one alone on a volume that reports a seek penalty (a
// spinning disk, where parallel reads make the head jump between files).
uint32_t ReadersFor(const std::wstring& folder);

}  // namespace ts::app
