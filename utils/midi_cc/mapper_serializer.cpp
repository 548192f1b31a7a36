#include "utils/midi_cc/mapper_serializer.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "IPlugin/TextScan.h"

namespace zarvo::midi_cc {

namespace {

constexpr int kEntryHeaderSize = 4 + 8;

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Reads the section into `table`; -1 when it does not fit the chunk.
int readSection(const plugkit::IByteChunk& chunk, int pos, int version, MappingTable& table)
{
  uint64_t entryCount = 0;
  pos = chunk.Get(entryCount, pos);
  const bool withChannel = version >= mapper_serializer::kChannelFieldVersion;
  const int recordSize = withChannel ? 28 : 24;

  // Each entry needs its header bytes, so the loop ends with the chunk however large the count.
  for (uint64_t e = 0; e < entryCount; ++e)
  {
    if (pos < 0 || chunk.Size() - pos < kEntryHeaderSize)
      return -1;
    int32_t cc = 0;
    uint64_t count = 0;
    pos = chunk.Get(cc, pos);
    pos = chunk.Get(count, pos);
    if (pos < 0 || count > static_cast<uint64_t>((chunk.Size() - pos) / recordSize))
      return -1;

    std::vector<ParamCCMapping> list;
    list.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i)
    {
      ParamCCMapping m;
      pos = chunk.Get(m.paramId, pos);
      pos = chunk.Get(m.cc, pos);
      pos = chunk.Get(m.min, pos);
      pos = chunk.Get(m.max, pos);
      if (withChannel)
        pos = chunk.Get(m.channel, pos);
      if (pos < 0)
        return -1;
      m.min = finiteOr(m.min, 0.0);
      m.max = finiteOr(m.max, 1.0);
      list.push_back(m);
    }
    table[cc] = std::move(list); // a repeated CC number replaces the earlier list
  }
  return pos;
}

// Reads one value at the front of `rest` as an input stream would: leading white space skipped,
// an optional plus sign, then the longest number; `rest` then starts after it.
template <class T>
bool readNext(std::string_view& rest, T& out)
{
  return plugkit::ReadNumber(rest, out, {.blanks = plugkit::kStreamBlanks, .plusThenMinus = true});
}

} // namespace

namespace mapper_serializer {

void serialize(const Mapper& mapper, plugkit::IByteChunk& chunk)
{
  const MappingTable& table = mapper.mappings();
  chunk.Put(static_cast<uint64_t>(table.size()));
  for (const auto& [cc, list] : table)
  {
    chunk.Put(static_cast<int32_t>(cc));
    chunk.Put(static_cast<uint64_t>(list.size()));
    for (const ParamCCMapping& m : list)
    {
      chunk.Put(m.paramId);
      chunk.Put(m.cc);
      chunk.Put(m.min);
      chunk.Put(m.max);
      chunk.Put(m.channel);
    }
  }
}

int unserialize(Mapper& mapper, const plugkit::IByteChunk& chunk, int startPos, int version)
{
  MappingTable table;
  const int pos = readSection(chunk, startPos, version, table);
  if (pos < 0)
    return -1;
  mapper.replaceMappings(std::move(table));
  return pos;
}

} // namespace mapper_serializer

std::vector<std::string> MapperZarvoAdapter::toLines(const MappingTable& mappings)
{
  std::vector<std::string> lines;
  for (const auto& [cc, list] : mappings)
  {
    for (const ParamCCMapping& m : list)
      lines.push_back(fmt::format("{} {} {:.10g} {:.10g} {}", cc, m.paramId, m.min, m.max, m.channel));
  }
  return lines;
}

MappingTable MapperZarvoAdapter::fromLines(const std::vector<std::string>& lines)
{
  MappingTable table;
  for (const std::string& line : lines)
  {
    std::string_view rest = line;
    int cc = 0;
    ParamCCMapping m{0, 0, 0.0, 1.0, 0};
    if (!readNext(rest, cc) || !readNext(rest, m.paramId) || !readNext(rest, m.min) || !readNext(rest, m.max) ||
        !readNext(rest, m.channel))
      continue;
    if (m.paramId < 0 || cc < 0 || cc >= Mapper::kNumCCs)
      continue;
    m.cc = cc;
    table[cc].push_back(m);
  }
  return table;
}

void MapperZarvoAdapter::writeSection(const MappingTable& mappings, zarvo::ZarvoFile& file)
{
  file.setSection(kSectionName, toLines(mappings));
}

} // namespace zarvo::midi_cc
