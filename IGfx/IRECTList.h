// An ordered, growable list of rectangles: the dirty regions of one frame, in drawing order.
#pragma once

#include <vector>

#include "IGfx/IRECT.h"

namespace plugkit::gfx {

class IRECTList
{
public:
  int Size() const { return static_cast<int>(mRects.size()); }
  void Add(const IRECT& r) { mRects.push_back(r); }
  // Index must lie in the list.
  const IRECT& Get(int idx) const { return mRects[static_cast<size_t>(idx)]; }
  void Set(int idx, const IRECT& r) { mRects[static_cast<size_t>(idx)] = r; }
  void Delete(int idx) { mRects.erase(mRects.begin() + idx); }
  void Clear() { mRects.clear(); }
  // The union of every entry.
  IRECT Bounds() const;
  void PixelAlign(float scale);

  // Removes contained entries and overlap, then merges entries that form one rectangle. The area
  // covered never shrinks and no two results overlap with positive area.
  void Optimize();
  // Replaces r by what is left of it once overlap (a part of r) is cut away: returns one piece and
  // appends the others. Nothing is appended when the remainder is one rectangle.
  IRECT Split(const IRECT& r, const IRECT& overlap);

  auto begin() const { return mRects.begin(); }
  auto end() const { return mRects.end(); }

private:
  // Cuts overlap (a band across r) off r: returns the part before the band and appends the part after
  // it when the band lies inside r.
  IRECT Trim(const IRECT& r, const IRECT& overlap);

  std::vector<IRECT> mRects;
};

} // namespace plugkit::gfx
