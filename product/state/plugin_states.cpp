// The plug-in's states: its state chunk, the editor state's codec and the preset container.
#include "product/state/plugin_states.h"

#include "IPlugin/IPluginBase.h"
#include "product/state/editor_state_codec.h"

namespace zarvo {

bool PluginStates::serializePluginState(plugkit::IByteChunk& chunk) const { return mPlugin.SerializeState(chunk); }

int PluginStates::unserializePluginState(const plugkit::IByteChunk& chunk, int pos)
{
  return mPlugin.UnserializeState(chunk, pos);
}

bool PluginStates::serializeEditorState(plugkit::IByteChunk& chunk) const { return mCodec->serializeUIState(chunk); }

int PluginStates::unserializeEditorState(const plugkit::IByteChunk& chunk, int pos)
{
  return mCodec->unserializeUIState(chunk, pos);
}

bool PluginStates::savePresetFile(const std::string& path) const { return mPlugin.SavePresetAsFXP(path.c_str()); }

} // namespace zarvo
