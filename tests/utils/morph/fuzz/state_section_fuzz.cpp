// Random bytes into the morph state section reader and into the reader of a preset's morph values:
// no crash, no unbounded allocation, everything in range afterwards, and a rejected section changes
// nothing.
#include <cstdint>
#include <cstdlib>

#include "IPlugin/IByteChunk.h"
#include "product/params/morph_param_table.h"
#include "tests/utils/morph/fake_morph_host.h"
#include "tests/utils/morph/fuzz/field_invariants.h"
#include "tests/support/field_edit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace zarvo::morph;
  static morph_test::FakeMorphHost host;
  MorphController ctrl(host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);
  vemlor_test::editField(ctrl.engine(), [](MorphEngine::RTState& s) { morph_test::fillDistinctField(s); });
  ctrl.engine().edit({.selection = 0b1001});

  plugkit::IByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  const int startPos = size > 0 ? data[0] % 8 : 0;

  const MorphEngine::RTState before = ctrl.engine().editState();
  const uint32_t sequence = ctrl.engine().snapshot().sequence();
  const int pos = ctrl.unserializeMorphState(chunk, startPos);
  if (pos < 0)
  {
    if (!(ctrl.engine().editState() == before) || ctrl.engine().selection() != 0b1001u ||
        ctrl.engine().snapshot().sequence() != sequence)
      std::abort();
  }
  else if (pos < startPos || (pos > chunk.Size() && pos != startPos))
    std::abort();
  morph_fuzz::checkFieldInRange(ctrl);

  MorphValues values{};
  values.fill(0.5);
  uint32_t noteMask = 0;
  ctrl.fileRouter().readChunkMorphParams(chunk, startPos, values, noteMask);
  for (double v : values)
  {
    if (!morph_fuzz::within(v, 0.0, 1.0))
      std::abort();
  }
  if (noteMask & ~kNoteMaskBits)
    std::abort();
  return 0;
}
