// A cheap check that an operation runs on the thread its declaration names.
#pragma once

namespace plugkit {

// Marks the calling thread as the audio thread while the scope lives; the host binding opens one
// around each process call, tests open one where they play the audio thread. Scopes nest.
class AudioThreadScope
{
public:
  AudioThreadScope();
  ~AudioThreadScope();
  AudioThreadScope(const AudioThreadScope&) = delete;
  AudioThreadScope& operator=(const AudioThreadScope&) = delete;

private:
  bool mWasAudioThread;
};

// Any thread: whether the calling thread is inside an AudioThreadScope.
bool IsAudioThread();

// Called with the offending operation's name when a thread-role check fails. The default aborts in
// builds without NDEBUG and does nothing otherwise; tests may install a recorder.
using ThreadRoleViolationHandler = void (*)(const char* operation);
// Returns the previous handler; nullptr restores the default.
ThreadRoleViolationHandler SetThreadRoleViolationHandler(ThreadRoleViolationHandler handler);
void ReportThreadRoleViolation(const char* operation);

} // namespace plugkit

#define PLUGKIT_ASSERT_MAIN_THREAD()                                                                                   \
  do                                                                                                                   \
  {                                                                                                                    \
    if (::plugkit::IsAudioThread())                                                                                    \
      ::plugkit::ReportThreadRoleViolation(__func__);                                                                  \
  } while (0)

#define PLUGKIT_ASSERT_AUDIO_THREAD()                                                                                  \
  do                                                                                                                   \
  {                                                                                                                    \
    if (!::plugkit::IsAudioThread())                                                                                   \
      ::plugkit::ReportThreadRoleViolation(__func__);                                                                  \
  } while (0)
