// The plug-in's state chunk as the tests see it: every section as plain records, read from and
// written to bytes in the stored layout, so that a test can build chunks the plug-in never wrote
// and look inside the ones it did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vemlor::plugin_it {

struct CCMapping
{
  int32_t param = -1;
  int32_t cc = -1;
  double min = 0.0;
  double max = 1.0;
  int32_t channel = 0;
  bool operator==(const CCMapping&) const = default;
};

struct CCEntry
{
  int32_t cc = 0;
  std::vector<CCMapping> mappings;
  bool operator==(const CCEntry&) const = default;
};

// One controller-modulation record: 15 bytes.
struct CCModRecord
{
  uint32_t stableId = 0;
  uint8_t mode = 0;
  uint8_t multiply = 0;
  double depth = 0.0;
  uint8_t bipolar = 0;
  bool operator==(const CCModRecord&) const = default;
};

// A stable parameter id with a value: plain in the parameter section, normalised in a morph point.
struct IdValue
{
  uint32_t stableId = 0;
  double value = 0.0;
  bool operator==(const IdValue&) const = default;
};

struct LayoutEntry
{
  uint32_t kind = 0;
  uint32_t value = 0;
  bool operator==(const LayoutEntry&) const = default;
};

// A patch identity record with its count of 3 fields.
struct Identity
{
  int32_t kind = 0;
  int32_t index = -1;
  int32_t modified = 0;
  std::string name;
  bool operator==(const Identity&) const = default;
};

struct MorphPoint
{
  double x = 0.5;
  double y = 0.5;
  double active = 0.0;
  double noteMask = 0.0;
  std::vector<IdValue> values; // 60, one per morph row
  bool operator==(const MorphPoint&) const = default;
};

struct MorphSection
{
  int32_t version = 2;
  std::vector<double> fields;       // 17
  std::vector<MorphPoint> points;   // 17
  std::vector<Identity> identities; // 17
  bool operator==(const MorphSection&) const = default;
};

// Indices of the morph section's field values.
enum MorphField
{
  kSigma = 0,
  kPointScale = 1,
  kFocus = 2,
  kShapeContrast = 3,
  kModel = 4,
  kKernelTail = 5,
  kTailPower = 6,
  kNeighborOfModel = 7,
  kNnSamples = 8,
  kNnRadius = 9,
  kSelection = 10,
  kNeighborModel0 = 11, // to 15 for models 0 to 4
  kCutoffContrast = 16,
};

struct Chunk
{
  uint32_t version = 0x00010300;
  std::vector<CCEntry> ccMap;
  std::vector<CCModRecord> ccMod;
  double paramCount = 79.0;
  std::vector<IdValue> params;
  std::vector<double> editorValues; // 12
  std::vector<std::vector<LayoutEntry>> layout;
  MorphSection morph;
  int32_t identityMarker = 1;
  Identity identity;
  bool operator==(const Chunk&) const = default;

  // The plain value stored for a parameter index; the entry must exist.
  double& param(int index);
  double param(int index) const;
  // A point's normalised value of a parameter index; the entry must exist.
  double& pointValue(int point, int index);
  double pointValue(int point, int index) const;
};

// Where each section ends, in bytes from the chunk's start.
struct SectionEnds
{
  size_t version = 0;
  size_t ccMap = 0;
  size_t ccMod = 0;
  size_t params = 0;
  size_t editorValues = 0;
  size_t editor = 0;
  size_t morphFields = 0;
  size_t morphPoints = 0;
  size_t morph = 0;
  size_t identity = 0;
};

struct ParsedChunk
{
  Chunk chunk;
  SectionEnds ends;
};

// Reads a complete chunk in the layout this system writes (every count as written, identity
// included); none for anything else. Bytes after the chunk, such as the bypass word, are left.
std::optional<ParsedChunk> parseChunk(std::span<const uint8_t> bytes);

// The chunk's bytes, section by section.
std::vector<uint8_t> writeChunk(const Chunk& chunk);

} // namespace vemlor::plugin_it
