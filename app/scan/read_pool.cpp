#include "app/scan/read_pool.h"

#include <windows.h>
#include <winioctl.h>

#include <exception>
#include <string>
#include <system_error>

namespace ts::app {

ReadPool::ReadPool(uint32_t readers, uint32_t pieceBytes) : pieces_(pieceBytes) {
  for (uint32_t i = 1; i < readers; ++i) {
    try {
      helpers_.emplace_back([this, pieceBytes] { Helper(pieceBytes); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the readers started do the work
    }
  }
}

ReadPool::~ReadPool() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    ending_ = true;
  }
  work_.notify_all();
  for (std::thread& t : helpers_) t.join();
}

void ReadPool::Submit(ReadJob* job, bool urgent) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    job->state_ = ReadJob::State::Queued;
    (urgent ? urgent_ : queued_).push_back(job);
  }
  if (!helpers_.empty()) work_.notify_one();
}

ReadJob* ReadPool::Take() {
  for (std::deque<ReadJob*>* queue : {&urgent_, &queued_}) {
    if (!queue->empty()) {
      ReadJob* job = queue->front();
      queue->pop_front();
      job->state_ = ReadJob::State::Running;
      return job;
    }
  }
  return nullptr;
}

void ReadPool::TakeThis(ReadJob* job) {
  // The job waited for is nearly always at the front of its queue: every
  // job queued before it has been taken already.
  for (std::deque<ReadJob*>* queue : {&urgent_, &queued_}) {
    for (auto at = queue->begin(); at != queue->end(); ++at) {
      if (*at == job) {
        queue->erase(at);
        job->state_ = ReadJob::State::Running;
        return;
      }
    }
  }
}

void ReadPool::RunTaken(ReadJob* job, std::unique_lock<std::mutex>& lock) {
  lock.unlock();
  try {
    job->Run();
  } catch (const std::exception&) {
    // Out of memory: the job's file counts as one that could not be read,
    // which is never grouped.
  }
  lock.lock();
  job->state_ = ReadJob::State::Done;
  done_.notify_all();
}

void ReadPool::Wait(ReadJob* job) {
  std::unique_lock<std::mutex> lock(lock_);
  while (job->state_ != ReadJob::State::Done) {
    if (job->state_ == ReadJob::State::Queued) {
      TakeThis(job);
      RunTaken(job, lock);
    } else if (ReadJob* other = Take()) {
      // A helper reads the wanted file: meanwhile this thread reads ahead.
      RunTaken(other, lock);
    } else {
      done_.wait(lock);
    }
  }
}

void ReadPool::Helper(uint32_t pieceBytes) {
  ReadPieces pieces(pieceBytes);
  std::unique_lock<std::mutex> lock(lock_);
  for (;;) {
    if (ending_) return;
    if (ReadJob* job = Take()) {
      RunTaken(job, lock);
    } else {
      work_.wait(lock);
    }
  }
}

namespace {

// Whether the volume holding `folder` says it incurs a seek penalty. A volume
// that cannot be asked (no rights to open the device, a network share, an
// older system) is taken to have none.
bool SeekPenalty(const std::wstring& folder) {
  wchar_t volume[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(folder.c_str(), volume, MAX_PATH + 1)) return false;
  std::wstring device(volume);
  if (device.size() < 2 || device[1] != L':') return false;
  device = L"\\\\.\\" + device.substr(0, 2);
  HANDLE h = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceSeekPenaltyProperty;
  query.QueryType = PropertyStandardQuery;
  DEVICE_SEEK_PENALTY_DESCRIPTOR answer{};
  DWORD got = 0;
  const BOOL ok = DeviceIoControl(h, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer, sizeof answer, &got,
                                  nullptr);
  CloseHandle(h);
  return ok && got >= sizeof answer && answer.IncursSeekPenalty;
}

uint32_t Processors() {
  DWORD_PTR process = 0, system = 0;
  uint32_t n = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) {
    for (; process; process &= process - 1) ++n;
  }
  if (n == 0) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    n = info.dwNumberOfProcessors;
  }
  return n ? n : 1;
}

}  // namespace

uint32_t ReadersFor(const std::wstring& folder) {
  constexpr uint32_t kMostReaders = 8;
  const uint32_t processors = Processors();
  if (processors <= 1 || SeekPenalty(folder)) return 1;
  return processors < kMostReaders ? processors : kMostReaders;
}

}  // namespace ts::app
