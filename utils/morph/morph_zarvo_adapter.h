// Conversion between the morph field and the lines of a "morph-rig" text section.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utils/morph/morph_engine.h"

namespace zarvo::morph {

// Main thread (formatting and parsing allocate).
class MorphZarvoAdapter
{
public:
  struct Appearance
  {
    // What a stored appearance is clamped to, wherever it is read from; 0 iso levels switch the
    // overlay off.
    static constexpr int32_t kMaxIsoLevels = 14;
    static constexpr double kMinGridStep = 0.02;
    static constexpr double kMaxGridStep = 1.0;

    float lineBrightness = 0.42f;
    int32_t isoLevels = 6;
    float gridStep = 0.09090909f;

    bool operator==(const Appearance&) const = default;
  };

  // What a rig text holds. Settings and positions are finite (anything else reads as the field's
  // default) but not range-checked, except the appearance, which is clamped here; point values are
  // as written, for the applier to check against each parameter's default.
  struct RigData
  {
    bool hasField = false;
    double sigma = 1.0;
    double pointScale = 1.0;
    double shapeContrast = 0.0;
    double cutoffContrast = 0.0;

    bool hasUser = false;
    double userX = 0.5;
    double userY = 0.5;

    std::array<MorphPoint, kNumPoints> points{};

    bool hasAppearance = false;
    Appearance appearance{};

    bool hasModel = false;
    int32_t model = 1;
    double kernelTail = 0.5;
    double tailPower = 5.0;
    double neighborIndex = 2.0; // of the current model
    bool hasPerModelNeighbors = false;
    std::array<double, kNumModels> neighborIndices = {2.0, 2.0, 2.0, 1.0, 2.0};
    int32_t nnSamples = 11;
    double nnRadius = 2.0;

    std::array<bool, kNumPoints> seen{};
    std::array<bool, kNumPoints> depthSeen{};
    std::array<double, kNumPoints> legacyVariation{}; // normalised
  };

  // How the owning plug-in names its parameters in rig texts, and its parameter table: the rows a
  // point carries, and the two parameters the reader treats apart (the depth, seen or not, and the
  // older variation that stands for depth and tilt).
  struct ParamNaming
  {
    const MorphParamTable* table = nullptr;
    std::string_view (*name)(int param) = nullptr;         // empty for an unknown parameter
    int (*indexFromName)(std::string_view name) = nullptr; // -1 for an unknown name
  };

  static std::vector<std::string> toLines(const MorphEngine& engine, double x, double y, const Appearance& appearance,
                                          const ParamNaming& naming);
  // Empty when no line was usable.
  static std::optional<RigData> fromLines(const std::vector<std::string>& lines, const ParamNaming& naming);
  // The model number after "neighborIndex" (0..4), or -1.
  static int32_t parseModelSuffix(std::string_view key);
};

} // namespace zarvo::morph
