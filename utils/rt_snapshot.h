// Lock-free hand-over of one record between two threads, either direction: a fenced seqlock.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo {

// One writer, one reader, on different threads. Neither waits: the reader tries a bounded number of
// copies and keeps its previous record when the writer kept it busy.
// The payload is held as relaxed atomic words so that a copy overlapping a write is a defined (and
// discarded) read rather than a data race; on x86-64 these are plain moves.
template <typename T>
class SeqlockRecord
{
  static_assert(std::is_trivially_copyable_v<T>, "the payload is copied word by word");

public:
  static constexpr int kMaxAttempts = 8;

  // The payload starts as `initial` with the sequence at 0; the owner publishes once before any
  // reader runs.
  explicit SeqlockRecord(const T& initial = T{}) { storeWords(initial); }
  SeqlockRecord(const SeqlockRecord&) = delete;
  SeqlockRecord& operator=(const SeqlockRecord&) = delete;

  // The single writer. No allocation, no system call.
  void publish(const T& record)
  {
    const uint32_t s = mSequence.load(std::memory_order_relaxed);
    mSequence.store(s + 1, std::memory_order_relaxed);
    // Orders the odd count before every payload store.
    std::atomic_thread_fence(std::memory_order_release);
    storeWords(record);
    mSequence.store(s + 2, std::memory_order_release);
  }

  // Reader thread. True when a consistent copy was placed in out; false (out untouched) when the
  // writer was busy through every attempt. No allocation, no system call.
  bool load(T& out) const
  {
    uint32_t sequence = 0;
    return load(out, sequence);
  }

  // The same, with the sequence of the record copied: while sequence() still returns it, the
  // payload is that record.
  bool load(T& out, uint32_t& loadedSequence) const
  {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt)
    {
      const uint32_t s1 = mSequence.load(std::memory_order_acquire);
      if (s1 & 1u)
        continue;
      for (size_t i = 0; i < kWords; ++i)
        mScratch[i] = mWords[i].load(std::memory_order_relaxed);
      // Orders every payload load before the second look at the sequence.
      std::atomic_thread_fence(std::memory_order_acquire);
      if (mSequence.load(std::memory_order_relaxed) != s1)
        continue;
      std::memcpy(static_cast<void*>(&out), mScratch.data(), sizeof(T));
      loadedSequence = s1;
      return true;
    }
    return false;
  }

  // Any thread; even when no write is in progress.
  uint32_t sequence() const { return mSequence.load(std::memory_order_acquire); }

private:
  static constexpr size_t kWords = (sizeof(T) + sizeof(uint64_t) - 1) / sizeof(uint64_t);

  void storeWords(const T& record)
  {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (size_t i = 0; i < kWords; ++i)
    {
      uint64_t word = 0;
      const size_t offset = i * sizeof(uint64_t);
      const size_t n = sizeof(T) - offset < sizeof(uint64_t) ? sizeof(T) - offset : sizeof(uint64_t);
      std::memcpy(&word, bytes + offset, n);
      mWords[i].store(word, std::memory_order_relaxed);
    }
  }

  std::atomic<uint32_t> mSequence{0};
  std::array<std::atomic<uint64_t>, kWords> mWords{};
  // The reader's preallocated temporary: only the single reader touches it.
  mutable std::array<uint64_t, kWords> mScratch{};
};

// From the main thread to the audio thread: the writer is checked to be the main thread.
template <typename T>
class RTSnapshot : private SeqlockRecord<T>
{
public:
  using SeqlockRecord<T>::kMaxAttempts;
  using SeqlockRecord<T>::SeqlockRecord;
  using SeqlockRecord<T>::load;
  using SeqlockRecord<T>::sequence;

  // Main thread (never the audio thread).
  void publish(const T& record)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    SeqlockRecord<T>::publish(record);
  }
};

} // namespace zarvo
