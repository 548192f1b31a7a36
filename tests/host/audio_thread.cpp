#include "tests/host/audio_thread.h"

namespace vemlor::testhost {

AudioThread::AudioThread()
  : thread([this] { loop(); })
{}

AudioThread::~AudioThread()
{
  quit = true;
  start.release();
  thread.join();
}

void AudioThread::run(void (*job)(void*), void* arg)
{
  pendingJob = job;
  pendingArg = arg;
  start.release();
  done.acquire();
}

void AudioThread::loop()
{
  for (;;)
  {
    start.acquire();
    if (quit)
      return;
    pendingJob(pendingArg);
    done.release();
  }
}

} // namespace vemlor::testhost
