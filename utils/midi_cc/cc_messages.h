// The controller map's editor messages, sent by learnable controls and handled by the plug-in and
// the CC mediator.
#pragma once

namespace zarvo::midi_cc {

// Editor message tags of the controller map. Every payload starts with the 32-bit parameter index.
enum ECCMessage : int
{
  kMsgTagListen = 7777, // sent before every menu action
  kMsgTagLearn = 7778,
  kMsgTagClear = 7779,
  kMsgTagInvertRange = 7780,
  kMsgTagSetMin = 7781,
  kMsgTagSetMax = 7782,
  kMsgTagAbsolute = 7783, // 7783..7787 are the plug-in's own
  kMsgTagModulate = 7784,
  kMsgTagDepth = 7785, // parameter index, then a 32-bit float depth
  kMsgTagInvertDepth = 7786,
  kMsgTagBipolar = 7787,
  kMsgTagCancelLearn = 7788,
};

} // namespace zarvo::midi_cc
