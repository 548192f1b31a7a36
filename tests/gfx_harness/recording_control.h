// A control that records the events it receives and draws one filled rectangle over its bounds with
// path primitives, so frame tests see exactly which controls were drawn.
#pragma once

#include <string>
#include <vector>

#include "IGfx/IControl.h"

namespace plugkit::gfx::test {

class RecordingControl : public IControl
{
public:
  RecordingControl(const IRECT& bounds, int paramIdx = -1, const char* name = "c")
    : IControl(bounds, paramIdx)
    , mName(name)
  {}
  RecordingControl(const IRECT& bounds, const std::vector<int>& params, const char* name)
    : IControl(bounds, params)
    , mName(name)
  {}

  void Draw(IGfx& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override;
  void OnContextSelection(int itemTag) override;
  void OnTextEntryCompletion(const char* str, int valIdx) override;
  void CreateContextMenu(IPopupMenu& menu) override;
  void OnMidi(const IMidiMsg& msg) override;
  void OnDrop(const char* path) override;
  void OnResize() override;
  void OnRescale() override;

  const char* Name() const { return mName.c_str(); }
  // "down 10 20", "drag 12 20 2 0", "up", "dbl", "over", "out", "key 65", "popup 1" / "popup null",
  // "context 3", "text abc", "midi 144", "drop path", "draw", "resize", "rescale".
  std::vector<std::string> events;
  // Items CreateContextMenu adds (text, flags); empty adds none.
  std::vector<std::pair<std::string, int>> contextItems;
  bool handlesKeys = false;
  // Also forward a press to the base (which prompts on a right click).
  bool baseMouseDown = false;
  int Count(const std::string& prefix) const;

private:
  std::string mName;
};

} // namespace plugkit::gfx::test
