#include "tests/gfx_harness/recording_control.h"

#include <algorithm>

#include <fmt/format.h>

#include "IGfx/IGfx.h"

namespace plugkit::gfx::test {

void RecordingControl::Draw(IGfx& g)
{
  events.push_back("draw");
  g.PathMoveTo(mRECT.L, mRECT.T);
  g.PathLineTo(mRECT.R, mRECT.B);
  g.PathFill(IPattern(COLOR_RED), IFillOptions(), &mBlend);
}

void RecordingControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  events.push_back(fmt::format("down {:g} {:g}", x, y));
  if (baseMouseDown)
    IControl::OnMouseDown(x, y, mod);
}

void RecordingControl::OnMouseUp(float, float, const IMouseMod&) { events.push_back("up"); }

void RecordingControl::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod&)
{
  events.push_back(fmt::format("drag {:g} {:g} {:g} {:g}", x, y, dX, dY));
}

void RecordingControl::OnMouseDblClick(float x, float y, const IMouseMod& mod)
{
  events.push_back("dbl");
  IControl::OnMouseDblClick(x, y, mod);
}

void RecordingControl::OnMouseWheel(float, float, const IMouseMod&, float d)
{
  events.push_back(fmt::format("wheel {:g}", d));
}

bool RecordingControl::OnKeyDown(float, float, const IKeyPress& key)
{
  events.push_back(fmt::format("key {}", key.VK));
  return handlesKeys;
}

void RecordingControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  events.push_back("over");
  IControl::OnMouseOver(x, y, mod);
}

void RecordingControl::OnMouseOut()
{
  events.push_back("out");
  IControl::OnMouseOut();
}

void RecordingControl::OnPopupMenuSelection(IPopupMenu* menu, int valIdx)
{
  events.push_back(menu ? fmt::format("popup {}", menu->GetChosenItemIdx()) : std::string("popup null"));
  IControl::OnPopupMenuSelection(menu, valIdx);
}

void RecordingControl::OnContextSelection(int itemTag) { events.push_back(fmt::format("context {}", itemTag)); }

void RecordingControl::OnTextEntryCompletion(const char* str, int) { events.push_back(fmt::format("text {}", str)); }

void RecordingControl::CreateContextMenu(IPopupMenu& menu)
{
  for (const auto& [text, flags] : contextItems)
    menu.AddItem(text.c_str(), -1, flags);
}

void RecordingControl::OnMidi(const IMidiMsg& msg) { events.push_back(fmt::format("midi {}", msg.mStatus)); }
void RecordingControl::OnDrop(const char* path) { events.push_back(fmt::format("drop {}", path)); }
void RecordingControl::OnResize() { events.push_back("resize"); }
void RecordingControl::OnRescale() { events.push_back("rescale"); }

int RecordingControl::Count(const std::string& prefix) const
{
  return static_cast<int>(
    std::count_if(events.begin(), events.end(), [&prefix](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

} // namespace plugkit::gfx::test
