// A thread that stands for the host's audio thread: it runs one job at a time, handed over by the
// main thread, which waits for it.
#pragma once

#include <semaphore>
#include <thread>

namespace vemlor::testhost {

class AudioThread
{
public:
  AudioThread();
  ~AudioThread();
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

  // Runs job(arg) on the audio thread and returns when it is done (main thread).
  void run(void (*job)(void*), void* arg);
  std::thread::id id() const { return thread.get_id(); }

private:
  void loop();

  std::binary_semaphore start{0};
  std::binary_semaphore done{0};
  void (*pendingJob)(void*) = nullptr;
  void* pendingArg = nullptr;
  bool quit = false;
  std::thread thread;
};

} // namespace vemlor::testhost
