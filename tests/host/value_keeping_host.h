// Hosts that keep their own float copy of every parameter value and answer a request to re-read
// values (restartComponent with kParamValuesChanged) in their own way, as some real hosts do:
// - kRoundTripState saves and restores the whole state, then writes every value back as a float,
//   through the controller and as a point for the next block; it also keeps a session: the state
//   and its copy of every value set or edited since it last moved the state, written back as float
//   over the state when the session is opened in a new instance;
// - kRoundTripStateOnAnyRestart does the same for every restart, whatever its flags (a latency or a
//   tail change too);
// - kReadValues overwrites its copy with what the controller answers, and sends its copy with the
//   blocks; it sets a value in its copy before it tells the controller.
#pragma once

#include "tests/host/test_host.h"

#include "pluginterfaces/vst/vsttypes.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vemlor::testhost {

class ValueKeepingHost
{
public:
  enum class OnReread
  {
    kRoundTripState,
    kRoundTripStateOnAnyRestart,
    kReadValues,
  };

  // Reads every value of the first paramCount ids and answers the plug-in's restarts from now on.
  ValueKeepingHost(Host& host, Plugin& plugin, int32 paramCount, OnReread onReread);
  ~ValueKeepingHost();
  ValueKeepingHost(const ValueKeepingHost&) = delete;
  ValueKeepingHost& operator=(const ValueKeepingHost&) = delete;

  // The host sets a value: its copy, then the controller, then a point for the next block.
  void set(Steinberg::Vst::ParamID id, double normalized);
  // The host's copy, with the edits the plug-in reported taken in.
  float value(Steinberg::Vst::ParamID id);
  // Points for the next block: every value of the copy set or edited since the last call.
  void queueChanges();
  // What the host does when asked to re-read values; also callable at any time.
  void reread();
  // Requests to re-read values the host has answered.
  int rereads() const { return rereadCount; }

  // What a saved session holds of the plug-in.
  struct Session
  {
    std::vector<uint8_t> state;
    std::vector<std::pair<Steinberg::Vst::ParamID, float>> values;
  };
  // Saving: the copies of touched values first take what the controller answers, then the state.
  Session save();
  // Opening a saved session in this host's (new) instance: the state, then every saved value
  // written back as float, through the controller and as a point for the next block.
  bool open(const Session& session);

private:
  void takeEdits();

  Host& host;
  Plugin& plugin;
  OnReread onReread;
  std::vector<float> values;
  std::vector<bool> pending; // set or edited, not yet sent with a block
  std::vector<bool> touched; // set or edited since the state last moved: saved with a session
  std::size_t callsSeen = 0;
  int rereadCount = 0;
};

} // namespace vemlor::testhost
