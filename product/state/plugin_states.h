// The plug-in's whole states and its preset file, as the morph field saves and restores them.
#pragma once

#include <string>

#include "utils/morph/morph_host.h"

namespace plugkit {
class IPluginBase;
} // namespace plugkit

namespace zarvo {

class VemlorStateCodec;

// Main thread. The editor state is read and written once the state codec is attached.
class PluginStates final : public morph::IPluginStates
{
public:
  explicit PluginStates(plugkit::IPluginBase& plugin)
    : mPlugin(plugin)
  {}
  void attach(const VemlorStateCodec& codec) { mCodec = &codec; }

  bool serializePluginState(plugkit::IByteChunk& chunk) const override;
  int unserializePluginState(const plugkit::IByteChunk& chunk, int pos) override;
  bool serializeEditorState(plugkit::IByteChunk& chunk) const override;
  int unserializeEditorState(const plugkit::IByteChunk& chunk, int pos) override;
  bool savePresetFile(const std::string& path) const override;

private:
  plugkit::IPluginBase& mPlugin;
  const VemlorStateCodec* mCodec = nullptr;
};

} // namespace zarvo
