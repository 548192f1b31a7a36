#include "product/params/plugin_param_edits.h"

#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginThreadRole.h"

namespace zarvo {

PluginParamEdits::PluginParamEdits(plugkit::IPluginBase& plugin)
  : mPlugin(plugin)
  , mBefore(static_cast<size_t>(plugin.NParams()), 0.0)
{}

void PluginParamEdits::beginChange(plugkit::EParamSource source)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mDepth++ > 0)
    return;
  mSource = source;
  for (int i = 0; i < mPlugin.NParams(); ++i)
    mBefore[static_cast<size_t>(i)] = mPlugin.GetParam(i)->Value();
}

ParamEditResult PluginParamEdits::endChange(bool applied)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mDepth == 0 || --mDepth > 0)
    return {applied, 0};

  int changed = 0;
  for (int i = 0; i < mPlugin.NParams(); ++i)
  {
    if (mPlugin.GetParam(i)->Value() == mBefore[static_cast<size_t>(i)])
      continue;
    ++changed;
    // Handlers that already saw the value pass over it.
    mPlugin.OnParamChange(i, mSource, -1);
    mPlugin.OnParamChangeUI(i, mSource);
  }
  // Also values changed outside any change (a switch the audio thread turned off).
  mPlugin.InformHostOfParameterValuesChange();
  return {applied, changed};
}

} // namespace zarvo
