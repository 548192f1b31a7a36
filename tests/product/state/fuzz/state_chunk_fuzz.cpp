// Feeds damaged state chunks to the reader: a refused chunk changes nothing, and the state an accepted
// chunk leaves behind writes a chunk that reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../fake_state_host.h"
#include "tests/support/byte_mutation.h"

namespace {

using state_test::FakeStateHost;

struct Fixture
{
  Fixture()
  {
    subject.fillDistinct(1);
    baseline = subject.fingerprint();
    FakeStateHost other;
    other.fillDistinct(2);
    valid = state_test::bytesOf(other.fingerprint());
  }

  FakeStateHost subject;
  FakeStateHost reader;
  plugkit::IByteChunk baseline;
  std::vector<uint8_t> valid;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Fixture f;
  if (size == 0)
    return 0;

  const plugkit::IByteChunk chunk = state_test::chunkOf(vemlor::test_support::rawOrDamaged(f.valid, data, size));
  f.subject.announced.clear();
  const int end = f.subject.state.unserializeState(chunk, 0);
  if (end < 0)
  {
    if (!f.subject.announced.empty() || !f.subject.fingerprint().IsEqual(f.baseline))
      std::abort(); // a refused chunk changed the plug-in
    return 0;
  }
  if (end > chunk.Size())
    std::abort();

  const plugkit::IByteChunk written = f.subject.fingerprint();
  if (f.reader.state.unserializeState(written, 0) != written.Size() || !f.reader.fingerprint().IsEqual(written))
    std::abort(); // what the writer made of an accepted chunk must read back as it is

  if (f.subject.state.unserializeState(f.baseline, 0) != f.baseline.Size())
    std::abort();
  return 0;
}
