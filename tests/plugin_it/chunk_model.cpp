#include "tests/plugin_it/chunk_model.h"

#include <cstring>
#include <stdexcept>

#include "product/params/params.h"

namespace vemlor::plugin_it {
namespace {

constexpr int kEditorValues = 12;
constexpr int kMorphFields = 17;
constexpr int kMorphPoints = 17;
constexpr int kPointHeader = 4;
constexpr int kPointValues = 60;

// Little-endian reads that fail (and stay failed) at the end of the bytes.
class Reader
{
public:
  explicit Reader(std::span<const uint8_t> bytes)
    : bytes(bytes)
  {}

  template <typename T>
  T get()
  {
    T value{};
    if (ok && pos + sizeof(T) <= bytes.size())
      std::memcpy(&value, bytes.data() + pos, sizeof(T));
    else
      ok = false;
    pos += sizeof(T);
    return value;
  }

  // A count that must equal what this system writes.
  template <typename T>
  void expect(T written)
  {
    if (get<T>() != written)
      ok = false;
  }

  std::string text(int32_t length)
  {
    if (length < 0 || pos + static_cast<size_t>(length) > bytes.size())
    {
      ok = false;
      return {};
    }
    std::string s(reinterpret_cast<const char*>(bytes.data() + pos), static_cast<size_t>(length));
    pos += static_cast<size_t>(length);
    return s;
  }

  Identity identity()
  {
    Identity id;
    expect<int32_t>(3);
    id.kind = get<int32_t>();
    id.index = get<int32_t>();
    id.modified = get<int32_t>();
    id.name = text(get<int32_t>());
    return id;
  }

  bool ok = true;
  size_t pos = 0;

private:
  std::span<const uint8_t> bytes;
};

class Writer
{
public:
  template <typename T>
  void put(T value)
  {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof(T));
  }

  void identity(const Identity& id)
  {
    put<int32_t>(3);
    put(id.kind);
    put(id.index);
    put(id.modified);
    put(static_cast<int32_t>(id.name.size()));
    bytes.insert(bytes.end(), id.name.begin(), id.name.end());
  }

  std::vector<uint8_t> bytes;
};

IdValue& findEntry(std::vector<IdValue>& entries, int index)
{
  const uint32_t id = zarvo::stableIdOf(index);
  for (IdValue& entry : entries)
    if (entry.stableId == id)
      return entry;
  throw std::out_of_range("no entry for parameter " + std::to_string(index));
}

} // namespace

double& Chunk::param(int index) { return findEntry(params, index).value; }

double Chunk::param(int index) const { return const_cast<Chunk&>(*this).param(index); }

double& Chunk::pointValue(int point, int index)
{
  return findEntry(morph.points.at(static_cast<size_t>(point)).values, index).value;
}

double Chunk::pointValue(int point, int index) const { return const_cast<Chunk&>(*this).pointValue(point, index); }

std::optional<ParsedChunk> parseChunk(std::span<const uint8_t> bytes)
{
  Reader in(bytes);
  ParsedChunk parsed;
  Chunk& c = parsed.chunk;
  SectionEnds& ends = parsed.ends;

  c.version = in.get<uint32_t>();
  ends.version = in.pos;

  const uint64_t entries = in.get<uint64_t>();
  for (uint64_t e = 0; in.ok && e < entries; ++e)
  {
    CCEntry entry;
    entry.cc = in.get<int32_t>();
    const uint64_t n = in.get<uint64_t>();
    for (uint64_t m = 0; in.ok && m < n; ++m)
    {
      CCMapping mapping;
      mapping.param = in.get<int32_t>();
      mapping.cc = in.get<int32_t>();
      mapping.min = in.get<double>();
      mapping.max = in.get<double>();
      mapping.channel = in.get<int32_t>();
      entry.mappings.push_back(mapping);
    }
    c.ccMap.push_back(std::move(entry));
  }
  ends.ccMap = in.pos;

  const uint32_t records = in.get<uint32_t>();
  for (uint32_t r = 0; in.ok && r < records; ++r)
  {
    CCModRecord record;
    record.stableId = in.get<uint32_t>();
    record.mode = in.get<uint8_t>();
    record.multiply = in.get<uint8_t>();
    record.depth = in.get<double>();
    record.bipolar = in.get<uint8_t>();
    c.ccMod.push_back(record);
  }
  ends.ccMod = in.pos;

  c.paramCount = in.get<double>();
  for (int i = 0; in.ok && i < zarvo::kNumParams; ++i)
    c.params.push_back({in.get<uint32_t>(), in.get<double>()});
  ends.params = in.pos;

  in.expect<uint32_t>(kEditorValues);
  for (int i = 0; i < kEditorValues; ++i)
    c.editorValues.push_back(in.get<double>());
  ends.editorValues = in.pos;
  const uint32_t columns = in.get<uint32_t>();
  for (uint32_t col = 0; in.ok && col < columns; ++col)
  {
    std::vector<LayoutEntry>& column = c.layout.emplace_back();
    const uint32_t n = in.get<uint32_t>();
    for (uint32_t e = 0; in.ok && e < n; ++e)
      column.push_back({in.get<uint32_t>(), in.get<uint32_t>()});
  }
  ends.editor = in.pos;

  c.morph.version = in.get<int32_t>();
  in.expect<int32_t>(kMorphFields);
  for (int i = 0; i < kMorphFields; ++i)
    c.morph.fields.push_back(in.get<double>());
  ends.morphFields = in.pos;
  in.expect<int32_t>(kMorphPoints);
  for (int p = 0; in.ok && p < kMorphPoints; ++p)
  {
    MorphPoint& point = c.morph.points.emplace_back();
    in.expect<int32_t>(kPointHeader);
    point.x = in.get<double>();
    point.y = in.get<double>();
    point.active = in.get<double>();
    point.noteMask = in.get<double>();
    in.expect<int32_t>(kPointValues);
    for (int v = 0; v < kPointValues; ++v)
      point.values.push_back({in.get<uint32_t>(), in.get<double>()});
  }
  ends.morphPoints = in.pos;
  in.expect<int32_t>(kMorphPoints);
  for (int p = 0; in.ok && p < kMorphPoints; ++p)
    c.morph.identities.push_back(in.identity());
  ends.morph = in.pos;

  c.identityMarker = in.get<int32_t>();
  c.identity = in.identity();
  ends.identity = in.pos;

  if (!in.ok)
    return std::nullopt;
  return parsed;
}

std::vector<uint8_t> writeChunk(const Chunk& c)
{
  Writer out;
  out.put(c.version);
  out.put(static_cast<uint64_t>(c.ccMap.size()));
  for (const CCEntry& entry : c.ccMap)
  {
    out.put(entry.cc);
    out.put(static_cast<uint64_t>(entry.mappings.size()));
    for (const CCMapping& m : entry.mappings)
    {
      out.put(m.param);
      out.put(m.cc);
      out.put(m.min);
      out.put(m.max);
      out.put(m.channel);
    }
  }
  out.put(static_cast<uint32_t>(c.ccMod.size()));
  for (const CCModRecord& r : c.ccMod)
  {
    out.put(r.stableId);
    out.put(r.mode);
    out.put(r.multiply);
    out.put(r.depth);
    out.put(r.bipolar);
  }
  out.put(c.paramCount);
  for (const IdValue& p : c.params)
  {
    out.put(p.stableId);
    out.put(p.value);
  }
  out.put(static_cast<uint32_t>(c.editorValues.size()));
  for (double v : c.editorValues)
    out.put(v);
  out.put(static_cast<uint32_t>(c.layout.size()));
  for (const auto& column : c.layout)
  {
    out.put(static_cast<uint32_t>(column.size()));
    for (const LayoutEntry& e : column)
    {
      out.put(e.kind);
      out.put(e.value);
    }
  }
  out.put(c.morph.version);
  out.put(static_cast<int32_t>(c.morph.fields.size()));
  for (double v : c.morph.fields)
    out.put(v);
  out.put(static_cast<int32_t>(c.morph.points.size()));
  for (const MorphPoint& p : c.morph.points)
  {
    out.put<int32_t>(kPointHeader);
    out.put(p.x);
    out.put(p.y);
    out.put(p.active);
    out.put(p.noteMask);
    out.put(static_cast<int32_t>(p.values.size()));
    for (const IdValue& v : p.values)
    {
      out.put(v.stableId);
      out.put(v.value);
    }
  }
  out.put(static_cast<int32_t>(c.morph.identities.size()));
  for (const Identity& id : c.morph.identities)
    out.identity(id);
  out.put(c.identityMarker);
  out.identity(c.identity);
  return std::move(out.bytes);
}

} // namespace vemlor::plugin_it
