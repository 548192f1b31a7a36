// The overlay's cache: what rebuilds it and what does not, its sampling grid, and that a repeated
// rebuild reuses its buffers.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "tests/utils/morph/overlay_fixture.h"
#include "tests/support/field_edit.h"
#ifdef VEMLOR_COUNT_ALLOCATIONS
#include "tests/host/allocation_counter.h"
#endif

using namespace morph_overlay_test;
using plugkit::gfx::IRECT;
using vemlor_test::editField;
using vemlor_test::editPoint;

#ifdef VEMLOR_COUNT_ALLOCATIONS
// The test host's counter owns operator new in this program: it counts on the calling thread.
namespace {
void beginCounting() { vemlor::testhost::beginCountingAllocations(); }
long endCounting() { return static_cast<long>(vemlor::testhost::endCountingAllocations()); }
} // namespace
#else
namespace {
std::atomic<long> gAllocations{0};
long gCountedFrom = 0;
void beginCounting() { gCountedFrom = gAllocations.load(); }
long endCounting() { return gAllocations.load() - gCountedFrom; }
} // namespace

void* operator new(std::size_t n)
{
  ++gAllocations;
  if (void* p = std::malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
// The non-throwing form too: left to the sanitizer's own, its blocks would be freed here (a standard
// sort's temporary buffer is one).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
  ++gAllocations;
  return std::malloc(n ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#endif

namespace {

struct RebuildCase
{
  const char* name;
  std::function<void(MorphEngine&, MorphFieldOverlay&, IRECT&)> change;
  bool rebuilds;
};

TEST(MorphFieldOverlay, RebuildsOnlyWhenWhatTheLinesShowChanges)
{
  const RebuildCase cases[] = {
    {"point moved", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editPoint(e, 2, [](auto& p) { p.x += 0.01; }); },
     true},
    {"point activated", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.point = 5, .active = true}); }, true},
    {"teleport point activated",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.point = 0, .active = true}); }, true},
    {"point deactivated", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.point = 3, .active = false}); },
     true},
    {"sigma", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.sigma = 0.5}); }, true},
    {"model", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.model = 3}); }, true},
    {"kernel tail",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.kernelTail = 0.2; }); }, true},
    {"tail power", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.tailPower = 3.0; }); },
     true},
    {"neighbour index of the model",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.neighborIndex[1] = 3.0; }); }, true},
    {"nn samples", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.nnSamples = 7; }); },
     true},
    {"nn radius", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.nnRadius = 1.5; }); },
     true},
    {"snap ramp width",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.snapFeather = 1.0; }); }, true},
    {"snap ramp exponent",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editField(e, [](auto& s) { s.snapCurve = 1.0; }); }, true},
    {"point scale", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.pointScale = 1.5}); }, true},
    {"iso setting", [](MorphEngine&, MorphFieldOverlay& o, IRECT&) { o.setIsoLevels(9); }, true},
    {"aspect changed", [](MorphEngine&, MorphFieldOverlay&, IRECT& r) { r = IRECT(0, 0, 908, 309); }, true},
    // Opposite moves that the weighted sum cannot tell apart.
    {"equal-sum moves",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) {
       editPoint(e, 1, [](auto& p) { p.x += 0.02; });
       editPoint(e, 3, [](auto& p) { p.x -= 0.01; });
     },
     true},
    {"selection", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.selection = 0b110}); }, false},
    {"focus", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.focus = 2}); }, false},
    {"brightness", [](MorphEngine&, MorphFieldOverlay& o, IRECT&) { o.lineBrightness = 0.9f; }, false},
    {"grid step", [](MorphEngine&, MorphFieldOverlay& o, IRECT&) { o.gridStep = 0.2f; }, false},
    {"aspect-keeping resize", [](MorphEngine&, MorphFieldOverlay&, IRECT& r) { r = IRECT(10, 20, 464, 222); }, false},
    {"inactive point moved",
     [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { editPoint(e, 9, [](auto& p) { p.x = 0.9; }); }, false},
    {"shape contrast", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.shapeContrast = 0.7}); }, false},
    {"editing mode", [](MorphEngine& e, MorphFieldOverlay&, IRECT&) { e.edit({.editing = true}); }, false},
  };
  for (const RebuildCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    MorphEngine engine;
    placePoints(engine, {{0.2, 0.3}, {0.7, 0.6}, {0.5, 0.2}});
    MorphFieldOverlay overlay;
    IRECT rect = kPad;
    ASSERT_TRUE(overlay.rebuildIfNeeded(engine, rect));
    ASSERT_FALSE(overlay.needsRebuild(engine, rect));
    const auto isoBefore = overlay.isoSegments;

    c.change(engine, overlay, rect);
    EXPECT_EQ(overlay.needsRebuild(engine, rect), c.rebuilds);
    EXPECT_EQ(overlay.rebuildIfNeeded(engine, rect), c.rebuilds);
    EXPECT_EQ(overlay.rebuildCount(), c.rebuilds ? 2u : 1u);
    EXPECT_FALSE(overlay.needsRebuild(engine, rect));
    if (!c.rebuilds)
    {
      EXPECT_EQ(overlay.isoSegments, isoBefore);
    }
    EXPECT_EQ(overlay.bounds, rect);
  }
}

TEST(MorphFieldOverlay, EqualSumMovesReallyCollideInTheSignature)
{
  MorphEngine engine;
  placePoints(engine, {{0.2, 0.3}, {0.7, 0.6}, {0.5, 0.2}});
  MorphFieldOverlay overlay;
  const double before = overlay.computeSignature(engine, kPad);
  editPoint(engine, 1, [](auto& p) { p.x += 0.02; });
  editPoint(engine, 3, [](auto& p) { p.x -= 0.01; });
  EXPECT_NEAR(overlay.computeSignature(engine, kPad), before, 1e-12);
}

TEST(MorphFieldOverlay, SamplingGridFollowsThePadSize)
{
  const struct
  {
    const char* name;
    IRECT rect;
    int cellsX, cellsY;
  } cases[] = {
    {"default pad", IRECT(0, 0, 908, 404), 280, 202},
    {"small pad", IRECT(0, 0, 100, 50), 50, 25},
    {"10 px wide", IRECT(0, 0, 10, 10), 8, 6},
    {"1000 px wide", IRECT(0, 0, 1000, 600), 280, 240},
    {"offset rectangle", IRECT(100, 50, 400, 250), 150, 100},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    MorphEngine engine;
    placePoints(engine, {{0.3, 0.4}, {0.6, 0.5}});
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, c.rect);
    EXPECT_EQ(overlay.cellsX, c.cellsX);
    EXPECT_EQ(overlay.cellsY, c.cellsY);
    EXPECT_EQ(overlay.nodeValues.size(), static_cast<size_t>((c.cellsX + 1) * (c.cellsY + 1)));
  }
}

TEST(MorphFieldOverlay, NodesHoldTheDominanceRowByRowFromTheTop)
{
  MorphEngine engine;
  placePoints(engine, {{0.2, 0.8}, {0.8, 0.3}});
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  const Scales scales = scalesOf(engine);
  const int stride = overlay.cellsX + 1;
  for (const auto& [i, j] : {std::pair{0, 0}, std::pair{56, 40}, std::pair{224, 141}, std::pair{280, 202}})
  {
    const double u = static_cast<double>(i) / overlay.cellsX;
    const double v = 1.0 - static_cast<double>(j) / overlay.cellsY;
    EXPECT_DOUBLE_EQ(overlay.nodeValues[static_cast<size_t>(j * stride + i)], engine.dominanceAt(u, v, scales));
  }
  EXPECT_TRUE(overlay.nodeOwners.empty()) << "no owners outside cell mode";
}

TEST(MorphFieldOverlay, IsoLevelCountsFallOnHalvesThirdsQuartersOrFifths)
{
  const int expected[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 11, 13, 14, 15, 17, 19};
  for (int n = 0; n <= 14; ++n)
    EXPECT_EQ(MorphFieldOverlay::isoLevelCountFor(n), expected[n]) << "iso setting " << n;
  EXPECT_EQ(MorphFieldOverlay::isoLevelCountFor(-3), 0);

  MorphFieldOverlay overlay;
  EXPECT_EQ(overlay.isoLevelCount, MorphFieldOverlay::isoLevelCountFor(overlay.isoLevels));
  overlay.signature = 1.0;
  overlay.setIsoLevels(20);
  EXPECT_EQ(overlay.isoLevels, 14);
  EXPECT_EQ(overlay.isoLevelCount, 19);
  EXPECT_TRUE(std::isnan(overlay.signature));
}

TEST(MorphFieldOverlay, CellModeFollowsModelAndSigma)
{
  const struct
  {
    const char* name;
    uint32_t model;
    double sigma;
    float strength;
  } cases[] = {
    {"gaussian, default sigma", 1, 1.0, 0.f},
    {"gaussian, sigma where cells start", 0, 2.0 - 0.86 * 1.98, (0.86f - 0.85f) / 0.07f},
    {"gaussian, sharp", 1, 0.1, 1.f},
    {"compact tail, default sigma", 2, 1.0, 1.f},
    {"compact tail with tail, wide", 3, 2.0, 1.f},
    {"natural neighbour, sharp", 4, 0.02, 1.f},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    MorphEngine engine;
    placePoints(engine, {{0.25, 0.5}, {0.75, 0.5}});
    engine.edit({.model = c.model});
    engine.edit({.sigma = c.sigma});
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, IRECT(0, 0, 200, 100));
    EXPECT_NEAR(overlay.cellBorderStrength, c.strength, 1e-4);
    EXPECT_EQ(overlay.nodeOwners.size(), c.strength > 0.f ? overlay.nodeValues.size() : 0u);
  }
}

TEST(MorphFieldOverlay, EmptyBoundsAndIsoSettingZeroLeaveNoGeometry)
{
  MorphEngine engine;
  spreadSixteen(engine);
  engine.edit({.sigma = 0.1}); // cells on as well
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  ASSERT_FALSE(overlay.isoSegments.empty());
  ASSERT_FALSE(overlay.linkSegments.empty());
  ASSERT_FALSE(overlay.cellBorderSegments.empty());

  const auto expectEmpty = [&] {
    EXPECT_TRUE(overlay.isoSegments.empty());
    EXPECT_TRUE(overlay.linkSegments.empty());
    EXPECT_TRUE(overlay.ridgeSegments.empty());
    EXPECT_TRUE(overlay.cellBorderSegments.empty());
    EXPECT_TRUE(overlay.contourLabels.empty());
  };
  overlay.rebuildIfNeeded(engine, IRECT(0, 0, 908, 0));
  expectEmpty();
  overlay.rebuildIfNeeded(engine, IRECT(5, 5, 5, 300));
  expectEmpty();

  overlay.setIsoLevels(0);
  overlay.rebuildIfNeeded(engine, kPad);
  expectEmpty();
}

TEST(MorphFieldOverlay, RepeatedRebuildReusesItsBuffers)
{
  for (uint32_t model = 0; model < 5; ++model)
  {
    SCOPED_TRACE("model " + std::to_string(model));
    MorphEngine engine;
    spreadSixteen(engine);
    engine.edit({.model = model});
    engine.edit({.sigma = model == 1 ? 0.1 : 0.6}); // one gaussian in cell mode
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, kPad);
    overlay.signature = std::nan("");
    beginCounting();
    const bool rebuilt = overlay.rebuildIfNeeded(engine, kPad);
    const long allocations = endCounting();
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(allocations, 0);
  }
}

} // namespace
