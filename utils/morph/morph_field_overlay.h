// The line work the morph pad draws over the field: iso lines of dominance, links between
// neighbouring points, ridges from the basins between them, cell borders, label anchors for the iso
// lines and a guide grid. The geometry is cached in field coordinates (u right, v up, 0..1) and
// rebuilt only when something it depends on changes.
//
// How the pad uses it (main thread only):
//   MorphFieldOverlay overlay;                          // a member of the pad, built with it
//   overlay.rebuildIfNeeded(engine, GetRECT());         // first thing in Draw; true when it rebuilt
//   overlay.draw(g, &mBlend);                           // guide grid, links, ridges, iso lines, cells
//   drawLevelLabels(g, overlay, GetRECT(), padText, background, &mBlend);         // level_labels.h
//   WeightHistogram::draw(g, GetRECT(), engine, x, y, overlay, style, &mBlend);   // weight_histogram.h
//   overlay.setIsoLevels(n);                            // iso slider and its reset: forces a rebuild
//   overlay.lineBrightness = b; overlay.gridStep = s;   // brightness and grid sliders: no rebuild
//   overlay.lineGray()                                  // the line grey, for the pad's ring grey
// needsRebuild(engine, rect) answers without rebuilding. A selection, focus, brightness, grid or
// aspect-keeping resize never rebuilds; a point moved or (de)activated, an engine setting the field
// depends on, the point scale, the iso setting or the aspect ratio does.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "IGfx/IBlend.h"
#include "IGfx/IRECT.h"
#include "utils/morph/field_appearance.h"
#include "utils/morph/morph_engine.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::morph {

class MorphFieldOverlay
{
public:
  using IRECT = plugkit::gfx::IRECT;

  // A line from (u0, v0) to (u1, v1) in field coordinates.
  struct Segment
  {
    float u0 = 0.f;
    float v0 = 0.f;
    float u1 = 0.f;
    float v1 = 0.f;
    bool operator==(const Segment&) const = default;
  };

  // Where an iso line's level is written, in field coordinates.
  struct LabelAnchor
  {
    float u = 0.f;
    float v = 0.f;
    float level = 0.f;
    bool operator==(const LabelAnchor&) const = default;
  };

  // A low place between points from which ridge rays climb to the points it belongs to.
  struct Basin
  {
    float u = 0.f;
    float v = 0.f;
    uint32_t members = 0; // bit k: the k-th active point in index order; 0 once merged into another
  };

  // A ray path in pixels, as the ridge tracer walks it.
  struct PixelPos
  {
    float x = 0.f;
    float y = 0.f;
  };

  static constexpr int kMinCellsX = 8;
  static constexpr int kMaxCellsX = 280;
  static constexpr int kMinCellsY = 6;
  static constexpr int kMaxCellsY = 240;
  static constexpr int kMaxIsoLevels = appearance::kMaxIsoLevels;
  static constexpr float kGridBrightness = appearance::kGridBrightness;

  // ---- settings: read and written by the pad and the editor

  bool showIsoLines = true;
  bool showRidges = true;
  bool showLinks = true;
  bool showCells = true;
  float cellBorderStrength = 0.f; // 0..1, set by each rebuild
  bool showLabels = true;
  float labelTextSize = 12.f;
  float lineBrightness = appearance::kDefaultLineBrightness; // 0..1; 0.001 or less hides everything
  int grayMin = 45;
  int grayMax = 162;
  int isoLevels = appearance::kDefaultIsoLevels; // the user's iso setting, 0..14
  int isoLevelCount = appearance::isoLevelCountFor(appearance::kDefaultIsoLevels);
  float samplePitch = 2.f;
  float gridStep = appearance::kDefaultGridStep;               // fraction of the field width
  double signature = std::numeric_limits<double>::quiet_NaN(); // NaN forces the next rebuild

  // ---- cached geometry

  IRECT bounds; // given to the last rebuildIfNeeded
  std::vector<Segment> isoSegments;
  std::vector<Segment> ridgeSegments;
  std::vector<Segment> linkSegments;
  std::vector<Segment> cellBorderSegments;
  std::vector<LabelAnchor> contourLabels;
  std::vector<double> nodeValues; // dominance per node; node (i, j) at j * (cellsX + 1) + i, row 0 on top
  std::vector<int> nodeOwners;    // dominant point per node, in cell mode only
  int cellsX = 0;
  int cellsY = 0;

  // Reserves every buffer a rebuild fills at its largest size, so that rebuilds do not allocate.
  MorphFieldOverlay();

  // ---- main thread

  // Number of iso levels of an iso setting: 0 for n <= 0, else one less than the n-th integer
  // from 2 up that 2, 3 or 5 divides (1, 2, 3, 4, 5, 7, 8, 9, 11, 13, 14, 15, 17, 19 for 1..14).
  static int isoLevelCountFor(int n) { return appearance::isoLevelCountFor(n); }
  // Sets the iso setting (clamped to 0..14) and its level count, and forces the next rebuild.
  void setIsoLevels(int n);

  // The signature of what the geometry depends on: field settings, active points and the aspect
  // ratio of the rectangle (not its size, so an aspect-keeping resize keeps the cache).
  double computeSignature(const MorphEngine& engine, const IRECT& rect) const;
  // Whether rebuildIfNeeded with these arguments would rebuild. Decided on the exact inputs, not
  // on the signature alone: two states with equal weighted sums still differ. A full rebuild is also
  // needed after a coarse one; a coarse one only when the inputs changed.
  bool needsRebuild(const MorphEngine& engine, const IRECT& rect, bool coarse = false) const;
  // Stores the rectangle and rebuilds when needsRebuild; true when it rebuilt. Coarse: while a drag
  // changes the field at every step, the iso lines alone from a sampling grid of a few thousand
  // nodes (no crossing refinement, links, ridges, labels or cells), cheap enough for every frame;
  // the next full rebuild restores the whole overlay.
  bool rebuildIfNeeded(const MorphEngine& engine, const IRECT& rect, bool coarse = false);
  bool coarse() const { return mCoarse; }
  // Rebuilds so far, and the basins of the last one after merging; for tests and benchmarks.
  uint64_t rebuildCount() const { return mRebuildCount; }
  const std::vector<Basin>& basins() const { return mBasins; }

  // The guide grid, then links, ridges, iso lines and cell borders with the given blend.
  void draw(plugkit::gfx::IGfx& g, const plugkit::gfx::IBlend* blend) const;
  void drawGrid(plugkit::gfx::IGfx& g, const plugkit::gfx::IBlend* blend) const;
  // Grey level of the lines at the current brightness.
  int lineGray() const;
  // Grey level of the guide grid at the current brightness.
  int gridGray() const;

  // Levels that carry labels: 1/d .. (d-1)/d for the largest d in 2..5 dividing count + 1.
  std::vector<float> labelledIsoLevels() const;
  // 0, 1/d, .., 1 with the same d: the histogram's reference lines.
  std::vector<float> histogramRefLevels() const;
  // The same into a fixed array, for drawing without allocating; returns how many (at most 6).
  int histogramRefLevelsInto(std::array<float, 6>& out) const;

  // ---- rebuild steps (called by rebuildIfNeeded; public so that each can be checked alone)

  // Samples dominance (and in cell mode the owner) at every node of the sampling grid.
  void rebuildFieldGrids(const MorphEngine& engine, const Scales& scales, bool cellMode);
  // The sampling pitch of a coarse rebuild for the engine's weighting model: the natural neighbour
  // costs ten times the others per sample.
  static float coarsePitchFor(uint32_t model) { return model == 4 ? 16.f : 8.f; }
  // The iso segments of every level over the sampled grid, then joined into lines for drawing.
  void marchIsoLevels(const MorphEngine& engine, const Scales& scales, bool refine);
  // Appends the 0, 1 or 2 iso segments of one cell at one level (marching squares).
  // The crossing on an edge is interpolated linearly between the corner values.
  void marchCell(double bl, double br, double tr, double tl, int i, int j, int cellsAcross, int cellsDown,
                 double level);
  // Label anchors where the links cross the labelled levels, thinned.
  void rebuildContourLabels(const MorphEngine& engine, const Scales& scales);
  void thinContourLabels(const MorphEngine& engine);
  // Links between Gabriel neighbours, basins between points and the ridge rays out of them.
  void rebuildRidges(const MorphEngine& engine, double aspect, const Scales& scales);
  void refineBasinSeed(const MorphEngine& engine, const Scales& scales, double& u, double& v) const;
  void traceRidgeRay(const MorphEngine& engine, const Scales& scales, double aspect, double seedU, double seedV,
                     double pointU, double pointV);
  bool rayReachesAnchor(const MorphEngine& engine, double aspect, PixelPos first, PixelPos last) const;
  void smoothPath(std::vector<PixelPos>& path) const;
  // Borders between the cells each point dominates, from nodeOwners.
  void rebuildCellBorders(const MorphEngine& engine, const Scales& scales);

private:
  // Everything the geometry depends on, compared exactly.
  static constexpr size_t kInputCount = 13 + 3 * kNumPoints;
  using Inputs = std::array<double, kInputCount>;
  Inputs inputsOf(const MorphEngine& engine, const IRECT& rect) const;

  // Labelled levels into a fixed array (at most four); returns how many.
  int labelledLevelsInto(std::array<float, 4>& out) const;

  Inputs mInputs{};
  uint64_t mRebuildCount = 0;
  bool mCoarse = false; // the cached geometry is a coarse rebuild's
  float mPitch = 2.f;   // the sampling pitch of the cached geometry
  // Scratch reused across rebuilds.
  std::vector<Basin> mBasins;
  std::vector<PixelPos> mRayPath;
  std::vector<double> mLinkSamples;
  // The iso segments joined into lines for drawing: one path per line instead of one per segment.
  struct PathPoint
  {
    float u = 0.f;
    float v = 0.f;
  };
  void rebuildIsoPaths(size_t edgeCount);
  void simplifyIsoPath(size_t start);
  std::vector<std::array<uint32_t, 2>> mIsoEdges; // grid edges each iso segment's ends lie on
  std::vector<size_t> mIsoLevelEnds;              // end of each level's run of iso segments
  std::vector<PathPoint> mIsoPathPoints;
  std::vector<uint32_t> mIsoPathStarts; // first point of each line, then the end of the last
  std::vector<int32_t> mEdgeFirst;
  std::vector<int32_t> mEdgeSecond;
  std::vector<uint8_t> mSegmentUsed;
  size_t mIsoPathsFor = 0; // the iso segment count the lines were made from; 0 for none
  // The same, with each crossing then moved along its edge until the field itself is within
  // kCrossingTolerance of the level: where two points' weights meet, the dominance has a crease that
  // a straight line between two nodes misses by several hundredths.
  void marchCellOnField(const MorphEngine& engine, const Scales& scales, double bl, double br, double tr, double tl,
                        int i, int j, double level);
  template <class Refine>
  void marchCellWith(double bl, double br, double tr, double tl, int i, int j, int cellsAcross, int cellsDown,
                     double level, const Refine& refine);

  struct LabelPlace
  {
    float x = 0.f; // pixels
    float y = 0.f;
    float angle = 0.f; // seen from the nearest point
    int nearest = -1;
    bool keep = true;
  };
  std::vector<LabelPlace> mLabelPlaces;
};

} // namespace zarvo::morph
