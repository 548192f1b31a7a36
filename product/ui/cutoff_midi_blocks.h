// The user tab's compound controls for a cutoff's MIDI note tracking: a notes block, a glide block
// and a controller block, each a container of labelled sub-controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "IGfx/IVStyle.h"
#include "product/ui/learnable.h"

namespace vemlor::ui {

// Parameter indices of one cutoff's note tracking.
struct NoteModePIds
{
  int32_t noteOn;
  int32_t noteChannel;
  int32_t octShift;
  int32_t semiShift;
  int32_t centShift;
  int32_t glideMs;
  int32_t glideAlways;
  int32_t cutoff;
  int32_t ccChannel;
};

inline constexpr NoteModePIds kMainCutoffNoteModePIds{32, 33, 34, 35, 36, 37, 38, 11, 39};
inline constexpr NoteModePIds kPreACutoffNoteModePIds{40, 41, 42, 43, 44, 45, 46, 0, 47};
inline constexpr NoteModePIds kPreBCutoffNoteModePIds{48, 49, 50, 51, 52, 53, 54, 4, 55};

enum class CutoffBlockKind
{
  Notes,
  Glide,
  CC
};

// The rectangles of a block's children in creation order, for the block's rectangle. The block is
// a group 55 + c wide (labels in its first 50 pixels, controls in the last c) centred in the
// rectangle, never starting left of it.
std::vector<plugkit::gfx::IRECT> cutoffBlockLayout(CutoffBlockKind kind, const plugkit::gfx::IRECT& bounds);

using ControlFactory = std::function<plugkit::gfx::IControl*(const plugkit::gfx::IRECT&)>;

// Main thread. A factory of unattached containers that create their children when attached, start
// them at their parameters' current values and place them on every resize. The styles are copied;
// the notes and glide blocks use both, the controller block the first.
ControlFactory makeCutoffBlockFactory(CutoffBlockKind kind, const NoteModePIds& pids, Mediator& mediator,
                                      const plugkit::gfx::IVStyle& style2, const plugkit::gfx::IVStyle& style3);

} // namespace vemlor::ui
