// The product's catalogue: every entry with its group, label, size, control and parameter, what it
// leaves out, and every factory building its control on the headless editor.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "product/ui/control_value_knob_control.h"
#include "product/ui/control_value_switch_control.h"
#include "product/ui/freq_knob_control.h"
#include "product/ui/section_label_control.h"
#include "product/ui/stage_coeffs_readout.h"
#include "utils/ui/FillSliderControl.h"
#include "utils/ui/SelectControl.h"
#include "utils/ui/WrapKnobControl.h"
#include "IGfx/IContainerBase.h"
#include "utils/midi_cc/control_decorator.h"
#include "product/params/params.h"
#include "product/ui/alt_control_ids.h"
#include "product/ui/default_user_tab.h"
#include "product/ui/vemlor_layout_format.h"
#include "tests/product/ui/catalogue_session.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;

enum class Kind
{
  ValueKnob,
  FreqKnob,
  ValueSwitch,
  PositionKnob,
  SelectGrid,
  FillSlider,
  ShapeReadout,
  Caption,
  NotesBlock,
  GlideBlock,
  CCBlock,
};

struct Row
{
  int id;
  const char* group; // empty at the top level
  const char* label;
  float size;
  Kind kind;
  bool learnable;
};

constexpr float kThird = 0.33f;
constexpr float kEighth = 0.125f;
constexpr float kNinth = 1.f / 9.f;

// In build order.
const Row kCatalogue[] = {
  {11, "main filter", "Main hz", kThird, Kind::FreqKnob, true},
  {13, "main filter", "Main res", kThird, Kind::ValueKnob, true},
  {14, "main filter", "drive", kThird, Kind::ValueKnob, true},
  {12, "main filter", "detune", kEighth, Kind::FillSlider, true},
  {15, "main filter", "drive var", kThird, Kind::PositionKnob, true},
  {16, "main filter", "pass type", kThird, Kind::SelectGrid, true},
  {77, "main filter", "pt depth", 0.25f, Kind::FillSlider, true},
  {78, "main filter", "pt tilt", 0.25f, Kind::FillSlider, true},
  {10015, "main filter", "user blend", 0.67f, Kind::ShapeReadout, false},
  {20, "break", "break", kThird, Kind::ValueKnob, true},
  {24, "break", "feedback invertion", kEighth, Kind::ValueSwitch, true},
  {23, "break", "break x2", kEighth, Kind::FillSlider, true},
  {21, "break", "b char", kThird, Kind::PositionKnob, true},
  {22, "break", "b var", kThird, Kind::ValueKnob, true},
  {8, "pre-filters", "A+B A*B", kThird, Kind::ValueKnob, true},
  {9, "pre-filters", "band mode", 0.25f, Kind::FillSlider, true},
  {10, "pre-filters", "neg mix", 0.25f, Kind::FillSlider, true},
  {3, "pre-filters", "A pt", 0.5f, Kind::SelectGrid, true},
  {7, "pre-filters", "B pt", 0.5f, Kind::SelectGrid, true},
  {10016, "pre-filters", "A user blend", 0.5f, Kind::ShapeReadout, false},
  {10017, "pre-filters", "B user blend", 0.5f, Kind::ShapeReadout, false},
  {0, "pre-filters", "A hz", kThird, Kind::FreqKnob, true},
  {4, "pre-filters", "B hz", kThird, Kind::FreqKnob, true},
  {1, "pre-filters", "A detune", kEighth, Kind::FillSlider, true},
  {5, "pre-filters", "B detune", kEighth, Kind::FillSlider, true},
  {2, "pre-filters", "A res", kThird, Kind::ValueKnob, true},
  {6, "pre-filters", "B res", kThird, Kind::ValueKnob, true},
  {27, "damping", "damp hold", kEighth, Kind::FillSlider, true},
  {25, "damping", "damp release", kEighth, Kind::FillSlider, true},
  {26, "damping", "damp thresh", kEighth, Kind::FillSlider, true},
  {10102, "labels", "MAIN", kNinth, Kind::Caption, false},
  {10103, "labels", "PRE A", kNinth, Kind::Caption, false},
  {10104, "labels", "PRE B", kNinth, Kind::Caption, false},
  {10101, "labels", "RESONANCE", kNinth, Kind::Caption, false},
  {10100, "labels", "FREQUENCY", kNinth, Kind::Caption, false},
  {10108, "labels", "DAMPING", kNinth, Kind::Caption, false},
  {10105, "labels", "MAIN FREQ", kNinth, Kind::Caption, false},
  {10106, "labels", "PRE A FREQ", kNinth, Kind::Caption, false},
  {10107, "labels", "PRE B FREQ", kNinth, Kind::Caption, false},
  {10004, "MIDI", "main cutoff midi notes", 5.f / 9.f, Kind::NotesBlock, false},
  {10005, "MIDI", "main cutoff midi glide", 1.f / 3.f, Kind::GlideBlock, false},
  {10006, "MIDI", "main cutoff cc", 2.f / 3.f, Kind::CCBlock, false},
  {10008, "MIDI", "pre A cutoff midi notes", 5.f / 9.f, Kind::NotesBlock, false},
  {10009, "MIDI", "pre A cutoff midi glide", 1.f / 3.f, Kind::GlideBlock, false},
  {10010, "MIDI", "pre A cutoff cc", 2.f / 3.f, Kind::CCBlock, false},
  {10012, "MIDI", "pre B cutoff midi notes", 5.f / 9.f, Kind::NotesBlock, false},
  {10013, "MIDI", "pre B cutoff midi glide", 1.f / 3.f, Kind::GlideBlock, false},
  {10014, "MIDI", "pre B cutoff cc", 2.f / 3.f, Kind::CCBlock, false},
  {28, "", "oversample", kEighth, Kind::ValueSwitch, true},
  {29, "", "mix", kThird, Kind::ValueKnob, true},
  {30, "", "gain", kThird, Kind::ValueKnob, true},
  {31, "", "gain on dry", kThird, Kind::FillSlider, true},
};

// The group each control item of the tree sits in, by id.
void collectGroups(const zarvo::ui::ControlRegistry::Node& node, const std::string& path,
                   std::vector<std::pair<int, std::string>>& out)
{
  for (const auto& c : node.children)
  {
    if (c.isGroup)
      collectGroups(*c.group, path.empty() ? c.group->name : path + "/" + c.group->name, out);
    else
      out.emplace_back(c.id, path);
  }
}

bool isKind(IControl* c, Kind kind)
{
  switch (kind)
  {
  case Kind::ValueKnob: return dynamic_cast<ControlValueKnobControl*>(c) != nullptr;
  case Kind::FreqKnob: return dynamic_cast<FreqKnobControl*>(c) != nullptr;
  case Kind::PositionKnob: return dynamic_cast<zarvo::ui::WrapKnobControl*>(c) != nullptr;
  case Kind::ValueSwitch: return dynamic_cast<ControlValueSwitchControl*>(c) != nullptr;
  case Kind::SelectGrid: return dynamic_cast<zarvo::ui::SelectControl*>(c) != nullptr;
  case Kind::FillSlider: return dynamic_cast<zarvo::ui::FillSliderControl*>(c) != nullptr;
  case Kind::ShapeReadout: return dynamic_cast<StageCoeffsReadout*>(c) != nullptr;
  case Kind::Caption: return dynamic_cast<SectionLabelControl*>(c) != nullptr;
  case Kind::NotesBlock:
  case Kind::GlideBlock:
  case Kind::CCBlock: return dynamic_cast<IContainerBase*>(c) != nullptr;
  }
  return false;
}

int childCount(Kind kind)
{
  switch (kind)
  {
  case Kind::NotesBlock: return 10;
  case Kind::GlideBlock: return 3;
  case Kind::CCBlock: return 5;
  default: return 0;
  }
}

bool isBlock(Kind kind) { return childCount(kind) > 0; }

TEST(ProductCatalogue, EntriesGroupsLabelsAndSizesInBuildOrder)
{
  CatalogueSession s;
  const auto& entries = s.registry.entries;
  ASSERT_EQ(entries.size(), std::size(kCatalogue));
  std::vector<std::pair<int, std::string>> groups;
  collectGroups(s.registry.root, "", groups);
  ASSERT_EQ(groups.size(), std::size(kCatalogue));

  for (size_t i = 0; i < std::size(kCatalogue); ++i)
  {
    const Row& row = kCatalogue[i];
    SCOPED_TRACE(row.label);
    EXPECT_EQ(entries[i].id, row.id);
    EXPECT_EQ(entries[i].desc.label, row.label);
    EXPECT_EQ(entries[i].desc.size, row.size);
    EXPECT_TRUE(entries[i].desc.factory);
    EXPECT_EQ(groups[i], (std::pair<int, std::string>{row.id, row.group}));
  }
}

TEST(ProductCatalogue, PickerRootListsSixGroupsThenFourControls)
{
  CatalogueSession s;
  std::vector<std::string> root;
  for (const auto& c : s.registry.root.children)
    root.push_back(c.isGroup ? c.group->name : zarvo::ui::findControl(s.registry, c.id)->label);
  EXPECT_EQ(root, (std::vector<std::string>{"main filter", "break", "pre-filters", "damping", "labels", "MIDI",
                                            "oversample", "mix", "gain", "gain on dry"}));
}

TEST(ProductCatalogue, LeavesOutWhatTheUserTabDoesNotPlace)
{
  CatalogueSession s;
  std::set<int> ids;
  for (const auto& e : s.registry.entries)
    EXPECT_TRUE(ids.insert(e.id).second) << "duplicate " << e.id;
  for (int id = 17; id <= 19; ++id)
    EXPECT_FALSE(ids.count(id)) << id;
  for (int id = 32; id <= 76; ++id)
    EXPECT_FALSE(ids.count(id)) << id;
  // Every alternative name but the two without a control of their own has an entry, and every
  // entry travels through the layout text by name.
  for (const AltName& row : kAltNames)
    EXPECT_EQ(ids.count(row.id), row.id == 10000 || row.id == 10001 ? 0u : 1u) << row.token;
  const VemlorLayoutFormat format;
  for (const int id : ids)
  {
    const std::string token = zarvo::layoutTokenFromId(format, id);
    EXPECT_FALSE(token.empty() || std::isdigit(static_cast<unsigned char>(token[0]))) << id;
    EXPECT_EQ(zarvo::layoutIdFromToken(format, token), id) << token;
  }
}

TEST(ProductCatalogue, HoldsEveryControlOfTheDefaultUserTab)
{
  CatalogueSession s;
  for (const std::vector<int>& column : defaultUserTabSlots())
  {
    for (const int id : column)
    {
      if (id >= 0)
      {
        EXPECT_NE(zarvo::ui::findControl(s.registry, id), nullptr) << id;
      }
    }
  }
}

TEST(ProductCatalogue, EveryFactoryBuildsItsControlOnTheEditor)
{
  CatalogueSession s;
  float y = 0.f;
  for (const Row& row : kCatalogue)
  {
    SCOPED_TRACE(row.label);
    // A cell of the entry's share of a 160-pixel column.
    const IRECT cell(100.f, y, 220.f, y + row.size * 160.f);
    const int before = s.G().NControls();
    IControl* c = zarvo::ui::placeControl(s.G(), s.registry, row.id, cell, -1, "TAB_USER");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(isKind(c, row.kind));
    EXPECT_EQ(dynamic_cast<zarvo::midi_cc::IControllable*>(c) != nullptr, row.learnable);
    if (row.kind == Kind::PositionKnob)
    {
      // Named-position knobs widen themselves for their names unless the editor fits them to the cell.
      EXPECT_TRUE(c->GetRECT().Contains(cell));
      const auto fitted = zarvo::ui::WrapKnobControl::fitted(zarvo::ui::findControl(s.registry, row.id)->factory);
      IControl* f = s.G().AttachControl(fitted(cell));
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->GetRECT(), cell);
      s.G().RemoveControl(f);
    }
    else
    {
      EXPECT_EQ(c->GetRECT(), cell);
    }
    EXPECT_STREQ(c->GetGroup(), "TAB_USER");
    const bool bound = row.id < zarvo::kNumParams;
    EXPECT_EQ(c->GetParamIdx(), bound ? row.id : -1);
    if (row.kind == Kind::Caption)
    {
      EXPECT_STREQ(static_cast<ITextControl*>(c)->GetStr(), row.label);
      EXPECT_FLOAT_EQ(c->GetDisabledWeight(), 0.6f);
    }
    if (isBlock(row.kind))
    {
      EXPECT_EQ(static_cast<IContainerBase*>(c)->NChildren(), childCount(row.kind));
    }
    EXPECT_EQ(s.G().NControls(), before + 1 + childCount(row.kind));
    y += 20.f;
  }
}

template <class T>
T* as(IControl* c)
{
  auto* t = dynamic_cast<T*>(c);
  EXPECT_NE(t, nullptr);
  return t;
}

TEST(ProductCatalogue, PerEntrySettings)
{
  using zarvo::ui::FillSliderControl;
  using zarvo::ui::SelectControl;
  using zarvo::ui::WrapKnobControl;
  struct Case
  {
    int id;
    std::function<void(IControl*, CatalogueSession&)> check;
  };
  const auto fineFactor = [](double want) {
    return [want](IControl* c, CatalogueSession&) {
      if (auto* k = as<ControlValueKnobControl>(c))
      {
        EXPECT_EQ(k->fineFactor(), want);
      }
    };
  };
  const auto anchoredTo = [](int param) {
    return [param](IControl* c, CatalogueSession&) {
      if (auto* k = as<FreqKnobControl>(c))
      {
        EXPECT_EQ(k->noteAnchorParam(), param);
      }
    };
  };
  const auto slider = [](float origin, const char* text) {
    return [origin, text](IControl* c, CatalogueSession&) {
      if (auto* f = as<FillSliderControl>(c))
      {
        EXPECT_EQ(f->fillOrigin(), origin);
        if (text)
        {
          EXPECT_EQ(f->barText(), text);
        }
      }
    };
  };
  const auto grid = [](int columns) {
    return [columns](IControl* c, CatalogueSession&) {
      if (auto* g = as<SelectControl>(c))
      {
        ASSERT_TRUE(g->hasGrid());
        // The segment after the first row starts the second row under the first segment.
        EXPECT_FLOAT_EQ(g->segmentRect(columns).L, g->segmentRect(0).L);
        EXPECT_GT(g->segmentRect(columns).T, g->segmentRect(0).T);
        EXPECT_FLOAT_EQ(g->segmentRect(columns - 1).T, g->segmentRect(0).T);
      }
    };
  };
  const auto readout = [](StageCoeffsReadout::ShapeKind kind) {
    return [kind](IControl* c, CatalogueSession&) {
      if (auto* r = as<StageCoeffsReadout>(c))
      {
        EXPECT_EQ(r->shapeKind(), kind);
      }
    };
  };
  const Case cases[] = {
    {13, fineFactor(20.0)},
    {2, fineFactor(100.0)},
    {6, fineFactor(100.0)},
    {11, anchoredTo(74)},
    {0, anchoredTo(75)},
    {4, anchoredTo(76)},
    {15,
     [](IControl* c, CatalogueSession&) {
       if (auto* k = as<WrapKnobControl>(c))
       {
         EXPECT_TRUE(k->wrap());
         EXPECT_EQ(k->positionNames(), (std::vector<std::string>{"TANH", "ASINH", "TASSYM"}));
         EXPECT_FLOAT_EQ(k->startAngle(), -60.f);
         EXPECT_FLOAT_EQ(k->endAngle(), 300.f);
       }
     }},
    {21,
     [](IControl* c, CatalogueSession&) {
       if (auto* k = as<WrapKnobControl>(c))
       {
         EXPECT_FALSE(k->wrap());
         EXPECT_EQ(k->positionNames(), (std::vector<std::string>{"1", "", "3", "", "5", "", "7", "", "9", "", "11"}));
         EXPECT_FLOAT_EQ(k->startAngle(), -156.f);
         EXPECT_FLOAT_EQ(k->endAngle(), 156.f);
       }
     }},
    {16, grid(2)},
    {3, grid(3)},
    {7, grid(3)},
    {12, slider(0.5f, nullptr)},
    {77, slider(0.f, nullptr)},
    {78, slider(0.5f, nullptr)},
    {23, slider(0.f, "2x")},
    {10015, readout(StageCoeffsReadout::ShapeKind::Main)},
    {10016, readout(StageCoeffsReadout::ShapeKind::PreA)},
    {10017, readout(StageCoeffsReadout::ShapeKind::PreB)},
  };
  CatalogueSession s;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.id);
    IControl* control = zarvo::ui::placeControl(s.G(), s.registry, c.id, IRECT(0, 0, 150, 110));
    ASSERT_NE(control, nullptr);
    c.check(control, s);
  }
}

TEST(ProductCatalogue, BreakCharacterKnobMovesItsPresenceDot)
{
  CatalogueSession s;
  struct Case
  {
    int id;
    float dx;
  };
  for (const Case c : {Case{21, 1.5f}, Case{15, 0.f}})
  {
    IControl* knob = zarvo::ui::placeControl(s.G(), s.registry, c.id, IRECT(0, 0, 120, 60));
    auto* learnable = dynamic_cast<zarvo::midi_cc::ControlDecorator<zarvo::ui::WrapKnobControl>*>(knob);
    ASSERT_NE(learnable, nullptr) << c.id;
    EXPECT_EQ(learnable->presenceDot().offsetX, c.dx) << c.id;
    EXPECT_EQ(learnable->presenceDot().offsetY, 0.f) << c.id;
  }
}

TEST(ProductCatalogue, EachPlacementIsAnIndependentControl)
{
  CatalogueSession s;
  IControl* a = zarvo::ui::placeControl(s.G(), s.registry, 10015, IRECT(0, 0, 200, 100));
  IControl* b = zarvo::ui::placeControl(s.G(), s.registry, 10015, IRECT(0, 100, 200, 200));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  s.G().RemoveControl(a);
  EXPECT_EQ(b->GetRECT(), IRECT(0, 100, 200, 200));
  EXPECT_GE(s.G().GetControlIdx(b), 0);
}

} // namespace
} // namespace vemlor::ui::test
