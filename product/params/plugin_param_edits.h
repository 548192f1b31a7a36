// The plug-in's own parameter edits, through its change handlers and its host binding.
#pragma once

#include <vector>

#include "utils/param_edits.h"

namespace plugkit {
class IPluginBase;
} // namespace plugkit

namespace zarvo {

// Main thread.
class PluginParamEdits final : public ParamEdits
{
public:
  explicit PluginParamEdits(plugkit::IPluginBase& plugin);

  void beginChange(plugkit::EParamSource source) override;
  ParamEditResult endChange(bool applied) override;

private:
  plugkit::IPluginBase& mPlugin;
  int mDepth = 0;
  plugkit::EParamSource mSource = plugkit::EParamSource::kPresetRecall;
  std::vector<double> mBefore; // plain values when the outermost change began
};

} // namespace zarvo
