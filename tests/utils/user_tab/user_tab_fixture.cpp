#include "tests/utils/user_tab/user_tab_fixture.h"

namespace zarvo::ui::test {

FakeRegistry productLikeRegistry()
{
  FakeRegistry r;
  FakeRegistry::Node* main = r.group("main filter");
  r.add(11, 0.33f, "Main hz", main);
  r.add(13, 0.33f, "Main res", main);
  r.add(14, 0.33f, "drive", main);
  r.add(12, 0.125f, "detune", main);
  r.add(10015, 0.67f, "user blend", main);
  FakeRegistry::Node* pre = r.group("pre-filters");
  r.add(9, 0.25f, "band mode", pre);
  r.add(3, 0.5f, "A pt", pre);
  r.add(0, 0.33f, "A hz", pre);
  r.add(4, 0.33f, "B hz", pre);
  r.add(2, 0.33f, "A res", pre);
  r.add(6, 0.33f, "B res", pre);
  FakeRegistry::Node* damping = r.group("damping");
  r.add(25, 0.125f, "damp release", damping);
  r.add(26, 0.125f, "damp thresh", damping);
  FakeRegistry::Node* labels = r.group("labels");
  r.add(10108, 1.f / 9.f, "DAMPING", labels);
  r.add(20, 0.33f, "break");
  r.add(21, 0.33f, "b char");
  r.add(29, 0.33f, "mix");
  r.add(99, 0.1f, "tiny");
  r.add(97, 0.15f, "fifteen");
  return r;
}

Slots defaultSlots()
{
  return {{0, 2}, {4, 6}, {9, -1, 10108, 26, 25}, {-8}, {11}, {-9}, {13, 14}, {20, 21}, {-9}, {29}, {-9}};
}

UserTabPanel* PanelTest::Make(Slots slots, bool unlocked, bool productSettings)
{
  RemovePanel();
  plugkit::gfx::IVStyle style;
  panel = new UserTabPanel(
    kContent, productLikeRegistry(), std::move(slots), unlocked, style, plugkit::gfx::IColor(255, 95, 55, 200),
    UserTabPanel::Callbacks{[this](const Slots& slots, bool u) { changes.emplace_back(slots, u); },
                            [this] {
                              if (afterRebuild)
                                afterRebuild();
                            }},
    "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
  if (productSettings)
  {
    UserTabPanel::Appearance look = panel->appearance();
    look.dragHint = "hold shift to move whole column";
    look.addColumnWidth = 50.f;
    look.toolbarButtonSize = 18.f;
    look.showClipboardButtons = false;
    look.topBand = 20.f;
    look.bottomBand = 18.f;
    look.highlightColor = plugkit::gfx::IColor(255, 200, 200, 200);
    look.hasHighlight = true;
    look.lockTipLocked = "edit user layout";
    look.lockTipUnlocked = "exit edit mode";
    look.saveTip = "save";
    look.loadTip = "load";
    look.copyTip = "copy";
    look.pasteTip = "paste";
    look.clearTip = "clear";
    look.undoTip = "undo";
    look.addControlTip = "add a control";
    look.addColumnTip = "add a column";
    look.cellTip = "cell";
    panel->setAppearance(look);
  }
  s.G().AttachControl(panel, 1068, "TAB_USER");
  return panel;
}

void PanelTest::RemovePanel()
{
  if (!panel || s.G().GetControlIdx(panel) < 0)
    return;
  panel->clearChildren();
  s.G().RemoveControl(panel);
}

std::vector<std::pair<std::string, IRECT>> PanelTest::Placed() const
{
  std::vector<std::pair<std::string, IRECT>> out;
  for (auto* c : Children<plugkit::gfx::test::RecordingControl>())
    out.emplace_back(c->Name(), c->GetRECT());
  return out;
}

std::vector<UserTabPanel::CellOverlay*> PanelTest::Overlays() const { return Children<UserTabPanel::CellOverlay>(); }

IControl* PanelTest::WithTooltip(const std::string& tip) const
{
  IControl* found = nullptr;
  panel->ForAllChildrenFunc([&](int, IControl* c) {
    if (!found && tip == c->GetTooltip())
      found = c;
  });
  return found;
}

} // namespace zarvo::ui::test
