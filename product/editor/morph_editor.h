// The open editor's controls as the morph field reaches them.
#pragma once

#include <atomic>
#include <optional>

#include "utils/morph/morph_host.h"

namespace plugkit::gfx {
class IGEditorDelegate;
} // namespace plugkit::gfx

namespace vemlor::ui {

// Main thread. Without an open editor only the layout flag is raised.
class MorphEditor final : public zarvo::morph::IMorphEditor
{
public:
  // The delegate owns the open editor and sends values to its controls; the idle function lays the
  // editor out again when `layoutUpdate` is raised.
  MorphEditor(plugkit::gfx::IGEditorDelegate& delegate, std::atomic<bool>& layoutUpdate)
    : mDelegate(delegate)
    , mLayoutUpdate(layoutUpdate)
  {}

  bool editorOpen() const override;
  void pushParamsToEditor() override;
  void markControlsDirty() override;
  void raiseLayoutUpdate() override { mLayoutUpdate.store(true, std::memory_order_release); }
  // A cutoff that follows notes stays locked when the field lets go of it.
  void driveControls(int index, std::optional<double> normalized, bool disabled) override;

private:
  plugkit::gfx::IGEditorDelegate& mDelegate;
  std::atomic<bool>& mLayoutUpdate;
};

} // namespace vemlor::ui
