// Random bytes into the controller map's chunk reader: no crash, no unbounded allocation, and a
// failed read leaves the live map as it was.
#include <cstdint>
#include <cstdlib>

#include "IPlugin/IByteChunk.h"
#include "utils/midi_cc/mapper_serializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace zarvo::midi_cc;
  if (size < 1)
    return 0;
  // The first byte picks the record layout and where the section starts.
  const int version = (data[0] & 1) ? 0x00010300 : 0x200;
  const int startPos = (data[0] >> 1) % 8;

  plugkit::IByteChunk chunk;
  chunk.PutBytes(data + 1, static_cast<int>(size - 1));

  Mapper mapper;
  const MappingTable live{{9, {{4, 9, 0.25, 0.75, 3}}}};
  mapper.replaceMappings(live);
  const int pos = mapper_serializer::unserialize(mapper, chunk, startPos, version);
  if (pos < 0)
  {
    if (mapper.mappings() != live)
      std::abort();
  }
  else if (pos > chunk.Size())
    std::abort();
  return 0;
}
