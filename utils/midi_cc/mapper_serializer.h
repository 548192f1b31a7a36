// The controller map stored as a state-chunk section and as the "midi-cc" lines of a text file.
#pragma once

#include <string>
#include <vector>

#include "IPlugin/IByteChunk.h"
#include "utils/midi_cc/mapper.h"
#include "utils/zarvo_file.h"

namespace zarvo::midi_cc {

namespace mapper_serializer {

// State chunks older than this carry mapping records without the channel field.
constexpr int kChannelFieldVersion = 0x300;

// Main thread. Appends the map's section to the end of the chunk.
void serialize(const Mapper& mapper, plugkit::IByteChunk& chunk);

// Main thread. Reads the section at startPos and replaces the map with it; returns the position
// after the section, or -1 when the section is cut short or its counts exceed what the chunk holds,
// in which case the map stays as it was. Only the map changes, never the learn state.
int unserialize(Mapper& mapper, const plugkit::IByteChunk& chunk, int startPos, int version);

} // namespace mapper_serializer

// The text form: one line "cc paramId min max channel" per mapping. Main thread.
class MapperZarvoAdapter
{
public:
  static constexpr const char* kSectionName = "midi-cc";

  static std::vector<std::string> toLines(const MappingTable& mappings);
  // Lines that do not hold five readable values, a parameter of 0 or more and a CC number in
  // 0..127 are skipped.
  static MappingTable fromLines(const std::vector<std::string>& lines);
  static void writeSection(const MappingTable& mappings, zarvo::ZarvoFile& file);
};

} // namespace zarvo::midi_cc
