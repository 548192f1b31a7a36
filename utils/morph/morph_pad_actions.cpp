// The settings mode's action bar: twelve actions on point sounds, the blend, the rig and the history.
#include <algorithm>

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

bool MorphPadControl::actionEnabled(int index) const
{
  const int focus = engine.editState().focus;
  const bool selected = (engine.selection() & ((1u << kNumPoints) - 1u)) != 0;
  switch (index)
  {
  case 0: return focus >= 0;
  case 1: return selected && hasCopiedSound;
  case 2: return selected && static_cast<bool>(onLoadPointsFromFile);
  case 3: return focus >= 0 && static_cast<bool>(onSavePointToFile);
  case 4: return selected;
  case 5: return static_cast<bool>(onSaveBlend);
  case 6: return static_cast<bool>(onCopyRig);
  case 7: return onPasteRig && rigOnClipboard;
  case 8: return static_cast<bool>(onImportRig);
  case 9: return static_cast<bool>(onExportRig);
  case 10: return canUndo && canUndo();
  case 11: return canRedo && canRedo();
  default: return false;
  }
}

void MorphPadControl::doAction(int index)
{
  if (!actionEnabled(index))
    return;
  const int focus = engine.editState().focus;
  const Mask sel = engine.selection() & ((1u << kNumPoints) - 1u);
  flashAction(index);
  switch (index)
  {
  case 0:
    copiedSound = engine.editState().points[static_cast<size_t>(focus)].values;
    hasCopiedSound = true;
    if (onCopyPointSound)
      onCopyPointSound(focus);
    break;
  case 1: commitPointSound(sel, copiedSound, PointSoundSource::Paste); break;
  case 2: onLoadPointsFromFile(sel); break;
  case 3: onSavePointToFile(focus); break;
  case 4: commitPointSound(sel, engine.resolvedAt(GetValue(0), GetValue(1)), PointSoundSource::Bake); break;
  case 5: onSaveBlend(); break;
  case 6: onCopyRig(); break;
  case 7: onPasteRig(); break;
  case 8: onImportRig(); break;
  case 9: onExportRig(); break;
  case 10:
    if (onUndo)
      onUndo();
    break;
  case 11:
    if (onRedo)
      onRedo();
    break;
  default: break;
  }
  SetDirty(false);
}

IRECT MorphPadControl::actionBtnRect(int index) const
{
  const IRECT& b = GetRECT();
  int row = 3;
  for (int r = 0; r < static_cast<int>(kActionRows.size()); ++r)
  {
    const ActionRow& ar = kActionRows[static_cast<size_t>(r)];
    if (index >= ar.first && index < ar.first + ar.count)
    {
      row = r;
      break;
    }
  }
  const ActionRow& ar = kActionRows[static_cast<size_t>(row)];
  const int n = ar.count;
  const int k = index - ar.first;
  const float g = std::max(6.f, (b.H() - 273.f) / 6.f);
  const float top = b.T + 52.f + g + 89.f + static_cast<float>(row + 1) * g + 20.f * static_cast<float>(row);
  const float x0 = b.L + 6.f + (ar.hasLabel ? 32.f : 0.f);
  const float right = b.L + 174.f;
  const int m = n >= 2 ? n : 1;
  const float w = (right - x0 - static_cast<float>(m - 1) * 6.f) / static_cast<float>(m);
  const float left = x0 + static_cast<float>(k) * (w + 6.f);
  return IRECT(left, top, left + w, top + 20.f);
}

} // namespace zarvo::morph
