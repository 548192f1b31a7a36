#include "IGfx/IRECTList.h"

namespace plugkit::gfx {

IRECT IRECTList::Bounds() const
{
  IRECT u;
  for (const IRECT& r : mRects)
    u = u.Union(r);
  return u;
}

void IRECTList::PixelAlign(float scale)
{
  for (IRECT& r : mRects)
    r.PixelAlign(scale);
}

IRECT IRECTList::Trim(const IRECT& r, const IRECT& I)
{
  if (r.L != I.L)
  {
    // A full-height band; the part right of it survives too when the band stops short of r's edge.
    if (I.R < r.R)
      Add(IRECT(I.R, r.T, r.R, r.B));
    return IRECT(r.L, r.T, I.L, r.B);
  }
  if (r.T != I.T)
  {
    if (I.B < r.B)
      Add(IRECT(r.L, I.B, r.R, r.B));
    return IRECT(r.L, r.T, r.R, I.T);
  }
  if (r.R != I.R)
    return IRECT(I.R, r.T, r.R, r.B);
  return IRECT(r.L, I.B, r.R, r.B);
}

IRECT IRECTList::Split(const IRECT& r, const IRECT& I)
{
  // r minus I as at most four pieces: full-width bands above and below, then the parts beside I.
  IRECT pieces[4];
  int n = 0;
  if (I.T > r.T)
    pieces[n++] = IRECT(r.L, r.T, r.R, I.T);
  if (I.B < r.B)
    pieces[n++] = IRECT(r.L, I.B, r.R, r.B);
  if (I.L > r.L)
    pieces[n++] = IRECT(r.L, I.T, I.L, I.B);
  if (I.R < r.R)
    pieces[n++] = IRECT(I.R, I.T, r.R, I.B);
  for (int k = 1; k < n; ++k)
    Add(pieces[k]);
  return pieces[0];
}

void IRECTList::Optimize()
{
  for (int i = 0; i < Size(); ++i)
  {
    for (int j = i + 1; j < Size();)
    {
      const IRECT ri = Get(i);
      const IRECT rj = Get(j);
      if (ri.Contains(rj))
      {
        Delete(j);
        continue;
      }
      if (rj.Contains(ri))
      {
        Delete(i);
        --i; // the outer loop visits the entry that moved into i
        break;
      }
      if (ri.Intersects(rj))
      {
        const IRECT I = ri.Intersect(rj);
        // Touching edges give an overlap without area: nothing to remove.
        if (I.W() > 0.f && I.H() > 0.f)
        {
          if (ri.Joinable(I))
            Set(i, Trim(ri, I));
          else if (rj.Joinable(I))
            Set(j, Trim(rj, I));
          else if (rj.Area() > ri.Area())
            Set(i, Split(ri, I));
          else
            Set(j, Split(rj, I));
        }
      }
      ++j;
    }
  }

  for (int i = 0; i < Size(); ++i)
  {
    for (int j = i + 1; j < Size(); ++j)
    {
      if (Get(i).Joinable(Get(j)))
      {
        Set(j, Get(i).Union(Get(j)));
        Delete(i);
        i = -1;
        break;
      }
    }
  }
}

} // namespace plugkit::gfx
