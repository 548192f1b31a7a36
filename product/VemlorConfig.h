// The compiled-in configuration record the plug-in hands to the framework bases.
#pragma once

#include "IPlugin/IPluginConfig.h"
#include "product/params/params.h"

namespace zarvo {

inline constexpr plugkit::Config kVemlorConfig = {
  .nParams = kNumParams,
  .nPresets = 73,
  .channelIOStr = "1-1 2-2",
  .pluginName = "Vemlor",
  .productName = "Vemlor",
  .makerName = "ZarvoAudio",
  .version = plugkit::MakeVersion(1, 3, 0),
  .uniqueId = plugkit::MakeFourCC("Vmlr"),
  .makerId = plugkit::MakeFourCC("ZrvA"),
  .latency = 0,
  .midiIn = true,
  .midiOut = false,
  .mpe = false,
  .stateChunks = true,
  .plugType = plugkit::kPlugTypeEffect,
  .hasEditor = true,
  .editorWidth = 940,
  .editorHeight = 200,
  .minWidth = 470,
  .maxWidth = 3760,
  .minHeight = 100,
  .maxHeight = 2480,
  .hostMayResize = false,
  .bundleId = "com.zarvoaudio.vemlor",
  .appGroupId = "com.zarvoaudio.shared",
};

// The version as files and headers write it ("1.3.0").
inline constexpr plugkit::VersionText kVemlorVersionText = plugkit::MakeVersionText(kVemlorConfig.version);

} // namespace zarvo
