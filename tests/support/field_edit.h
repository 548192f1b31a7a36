// Test set-up of a morph field: an edit made to a copy of the engine's edit state, or of one of its
// points, and handed back whole.
#pragma once

#include <cstddef>

#include "utils/morph/morph_engine.h"

namespace vemlor_test {

template <class Edit>
void editField(zarvo::morph::MorphEngine& engine, Edit&& edit)
{
  zarvo::morph::MorphEngine::RTState s = engine.editState();
  edit(s);
  engine.edit({.field = &s});
}

template <class Edit>
void editPoint(zarvo::morph::MorphEngine& engine, size_t point, Edit&& edit)
{
  zarvo::morph::MorphPoint p = engine.editState().points[point];
  edit(p);
  engine.edit({.point = point, .whole = &p});
}

} // namespace vemlor_test
