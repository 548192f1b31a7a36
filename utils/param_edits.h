// The one path for values the plug-in changes itself: preset and list loads, undo and redo, rigs,
// randomize and mutate, note anchoring and the morph position.
#pragma once

#include <utility>

#include "IPlugin/IPluginEditorDelegate.h"

namespace zarvo {

// What a change did, for the editor to show.
struct ParamEditResult
{
  bool applied = false; // the operation did what it was asked
  int changed = 0;      // parameters whose value it changed
};

// Changes nest; when the outermost one ends, every parameter whose value it changed is announced
// to the plug-in's change handlers (the audio path, the editor), the host's parameter objects take
// every current value, and the host is asked to read them again when it held stale ones.
// Main thread.
class ParamEdits
{
public:
  virtual ~ParamEdits() = default;

  // A change begins; the source is what the handlers are told (the outermost change's counts).
  virtual void beginChange(plugkit::EParamSource source) = 0;
  // The change ends; an inner change's result counts nothing (its outermost change does).
  virtual ParamEditResult endChange(bool applied) = 0;

  // Runs change(), which returns whether it did what it was asked, as one change.
  template <class Change>
  ParamEditResult run(plugkit::EParamSource source, Change&& change)
  {
    beginChange(source);
    const bool applied = std::forward<Change>(change)();
    return endChange(applied);
  }

  // The rest of a scope is one change; nothing without a path (a part used on its own).
  class Scope
  {
  public:
    Scope(ParamEdits* edits, plugkit::EParamSource source)
      : mEdits(edits)
    {
      if (mEdits)
        mEdits->beginChange(source);
    }
    ~Scope()
    {
      if (mEdits)
        mEdits->endChange(true);
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    ParamEdits* mEdits;
  };
};

} // namespace zarvo
