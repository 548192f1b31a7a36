#include "utils/morph/morph_zarvo_adapter.h"

#include <cmath>
#include <limits>

#include <fmt/format.h>

#include "IPlugin/TextScan.h"
#include "utils/morph/stored_values.h"

namespace zarvo::morph {

namespace {

constexpr std::string_view kNeighborIndexKey = "neighborIndex";

std::vector<std::string_view> tokensOf(std::string_view line)
{
  std::vector<std::string_view> tokens;
  size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < line.size())
  {
    while (i < line.size() && blank(line[i]))
      ++i;
    const size_t start = i;
    while (i < line.size() && !blank(line[i]))
      ++i;
    if (i > start)
      tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// A token is a whole decimal number, a "+" before a minus sign allowed; infinity and not-a-number
// are read here and replaced by each field's fallback later.
constexpr plugkit::NumberRules kTokenNumber = {.blanks = "", .plusThenMinus = true, .whole = true, .finite = false};

// The whole token as a decimal number, locale-free.
bool parseReal(std::string_view token, double& out) { return plugkit::ReadNumber(token, out, kTokenNumber); }

// The whole token as a decimal integer.
bool parseInt(std::string_view token, int64_t& out) { return plugkit::ReadNumber(token, out, kTokenNumber); }

// A point number 0..16 from a token, or -1.
int pointNumber(std::string_view token)
{
  int64_t n = -1;
  return parseInt(token, n) && n >= 0 && n < static_cast<int64_t>(kNumPoints) ? static_cast<int>(n) : -1;
}

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

int32_t intOr(double v, int32_t fallback)
{
  return static_cast<int32_t>(
    truncatedOr(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), fallback));
}

bool readField(std::string_view key, double value, MorphZarvoAdapter::RigData& rig)
{
  using Rig = MorphZarvoAdapter::RigData;
  const Rig defaults;
  if (key == "sigma")
    rig.sigma = finiteOr(value, defaults.sigma);
  else if (key == "pointScale")
    rig.pointScale = finiteOr(value, defaults.pointScale);
  else if (key == "shapeContrast")
    rig.shapeContrast = finiteOr(value, defaults.shapeContrast);
  else if (key == "cutoffContrast")
    rig.cutoffContrast = finiteOr(value, defaults.cutoffContrast);
  else if (key == "morphFieldLineBrightness" || key == "isoBrightness")
    rig.appearance.lineBrightness = static_cast<float>(storedOr(value, 0.0, 1.0, defaults.appearance.lineBrightness));
  else if (key == "isoLevels")
    rig.appearance.isoLevels = static_cast<int32_t>(
      truncatedOr(value, 0, MorphZarvoAdapter::Appearance::kMaxIsoLevels, defaults.appearance.isoLevels));
  else if (key == "gridStep")
    rig.appearance.gridStep = static_cast<float>(
      storedOr(value, static_cast<float>(MorphZarvoAdapter::Appearance::kMinGridStep),
               static_cast<float>(MorphZarvoAdapter::Appearance::kMaxGridStep), defaults.appearance.gridStep));
  else if (key == "model")
    rig.model = intOr(value, defaults.model);
  else if (key == "kernelTail")
    rig.kernelTail = finiteOr(value, defaults.kernelTail);
  else if (key == "tailPower")
    rig.tailPower = finiteOr(value, defaults.tailPower);
  else if (key == kNeighborIndexKey)
    rig.neighborIndex = finiteOr(value, defaults.neighborIndex);
  else if (key == "nnSamples")
    rig.nnSamples = intOr(value, defaults.nnSamples);
  else if (key == "nnRadius")
    rig.nnRadius = finiteOr(value, defaults.nnRadius);
  else if (const int32_t m = MorphZarvoAdapter::parseModelSuffix(key); m >= 0)
  {
    rig.neighborIndices[static_cast<size_t>(m)] = finiteOr(value, defaults.neighborIndices[static_cast<size_t>(m)]);
    rig.hasPerModelNeighbors = true;
  }
  else
    return true; // a key of a later version: accepted, ignored

  if (key == "sigma" || key == "pointScale" || key == "shapeContrast" || key == "cutoffContrast")
    rig.hasField = true;
  else if (key == "morphFieldLineBrightness" || key == "isoBrightness" || key == "isoLevels" || key == "gridStep")
    rig.hasAppearance = true;
  else
    rig.hasModel = true;
  return true;
}

void readPointLine(const std::vector<std::string_view>& t, int n, MorphZarvoAdapter::RigData& rig)
{
  MorphPoint& p = rig.points[static_cast<size_t>(n)];
  for (size_t i = 2; i + 1 < t.size(); i += 2)
  {
    const std::string_view key = t[i];
    const std::string_view value = t[i + 1];
    double real = 0.0;
    int64_t integer = 0;
    if (key == "x" && parseReal(value, real))
      p.x = finiteOr(real, 0.5);
    else if (key == "y" && parseReal(value, real))
      p.y = finiteOr(real, 0.5);
    else if (key == "active" && parseInt(value, integer))
      p.active = integer != 0;
    else if (key == "mask" && parseInt(value, integer) && integer >= 0)
      p.noteMask = static_cast<uint32_t>(integer);
  }
  rig.seen[static_cast<size_t>(n)] = true;
}

// True when the line was of a known kind and well formed.
bool readLine(std::string_view line, const MorphZarvoAdapter::ParamNaming& naming, MorphZarvoAdapter::RigData& rig)
{
  const std::vector<std::string_view> t = tokensOf(line);
  if (t.empty())
    return false;

  if (t[0] == "field")
  {
    double value = 0.0;
    if (t.size() < 3 || !parseReal(t[2], value))
      return false;
    return readField(t[1], value, rig);
  }

  if (t[0] == "user")
  {
    double x = 0.0;
    double y = 0.0;
    if (t.size() < 3 || !parseReal(t[1], x) || !parseReal(t[2], y))
      return false;
    rig.userX = finiteOr(x, 0.5);
    rig.userY = finiteOr(y, 0.5);
    rig.hasUser = true;
    return true;
  }

  if (t[0] == "point")
  {
    const int n = t.size() >= 2 ? pointNumber(t[1]) : -1;
    if (n < 0)
      return false;
    readPointLine(t, n, rig);
    return true;
  }

  if (t[0] == "val")
  {
    double value = 0.0;
    const int n = t.size() >= 4 ? pointNumber(t[1]) : -1;
    if (n < 0 || !parseReal(t[3], value))
      return false;
    const size_t point = static_cast<size_t>(n);
    const int param = naming.indexFromName(t[2]);
    // Non-finite values are left for the applier, which knows each parameter's default.
    if (const int row = naming.table->rowOf(param); row >= 0)
      rig.points[point].values[static_cast<size_t>(row)] = value;
    if (param == naming.table->mainDepth)
      rig.depthSeen[point] = true;
    else if (param == naming.table->mainVariation)
      rig.legacyVariation[point] = finiteOr(value, 0.0);
    return true;
  }
  return false;
}

} // namespace

std::vector<std::string> MorphZarvoAdapter::toLines(const MorphEngine& engine, double x, double y,
                                                    const Appearance& appearance, const ParamNaming& naming)
{
  const MorphEngine::RTState& s = engine.editState();
  const size_t model = modelSlot(s.model);
  std::vector<std::string> lines;
  lines.reserve(20 + kNumPoints * (1 + kNumMorphParams));
  lines.push_back(fmt::format("field sigma {:.6f}", s.sigma));
  lines.push_back(fmt::format("field pointScale {:.6f}", engine.pointScale()));
  lines.push_back(fmt::format("field shapeContrast {:.6f}", s.shapeContrast));
  lines.push_back(fmt::format("field cutoffContrast {:.6f}", s.cutoffContrast));
  lines.push_back(fmt::format("field morphFieldLineBrightness {:.6f}", appearance.lineBrightness));
  lines.push_back(fmt::format("field isoLevels {}", appearance.isoLevels));
  lines.push_back(fmt::format("field gridStep {:.6f}", appearance.gridStep));
  lines.push_back(fmt::format("user {:.6f} {:.6f}", x, y));
  lines.push_back(fmt::format("field model {}", s.model));
  lines.push_back(fmt::format("field kernelTail {:.6f}", s.kernelTail));
  lines.push_back(fmt::format("field tailPower {:.6f}", s.tailPower));
  lines.push_back(fmt::format("field neighborIndex {:.6f}", s.neighborIndex[model]));
  for (size_t m = 0; m < kNumModels; ++m)
    lines.push_back(fmt::format("field neighborIndex{} {:.6f}", m, s.neighborIndex[m]));
  lines.push_back(fmt::format("field nnSamples {}", s.nnSamples));
  lines.push_back(fmt::format("field nnRadius {:.6f}", s.nnRadius));
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphPoint& p = s.points[i];
    lines.push_back(
      fmt::format("point {} x {:.6f} y {:.6f} active {} mask {}", i, p.x, p.y, p.active ? 1 : 0, p.noteMask));
    for (size_t r = 0; r < kNumMorphParams; ++r)
      lines.push_back(fmt::format("val {} {} {:.6f}", i, naming.name(naming.table->rows[r].param), p.values[r]));
  }
  return lines;
}

std::optional<MorphZarvoAdapter::RigData> MorphZarvoAdapter::fromLines(const std::vector<std::string>& lines,
                                                                       const ParamNaming& naming)
{
  RigData rig;
  bool accepted = false;
  for (const std::string& line : lines)
    accepted = readLine(line, naming, rig) || accepted;
  if (!accepted)
    return std::nullopt;
  return rig;
}

int32_t MorphZarvoAdapter::parseModelSuffix(std::string_view key)
{
  if (!key.starts_with(kNeighborIndexKey) || key.size() == kNeighborIndexKey.size())
    return -1;
  int32_t n = 0;
  for (const char c : key.substr(kNeighborIndexKey.size()))
  {
    if (c < '0' || c > '9')
      return -1;
    n = n * 10 + (c - '0');
    if (n >= kNumModels)
      return -1;
  }
  return n;
}

} // namespace zarvo::morph
