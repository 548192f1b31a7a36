#include "utils/ui/PresetStripControl.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

namespace {

constexpr int kDimmedAlpha = 89;

bool contains(const IRECT& r, float x, float y)
{
  if (r.L == 0.f && r.T == 0.f && r.R == 0.f && r.B == 0.f)
    return false;
  return x >= r.L && x < r.R && y >= r.T && y < r.B;
}

IColor withAlpha(IColor c, int alpha)
{
  c.A = alpha;
  return c;
}

// Index into zoneTooltips of a zone with a hover text, or -1.
int tooltipSlot(int zone)
{
  switch (zone)
  {
  case PresetStripControl::kCollapse: return 0;
  case PresetStripControl::kPrevious: return 1;
  case PresetStripControl::kName: return -1;
  default: return zone >= PresetStripControl::kNext && zone <= PresetStripControl::kAddFolder ? zone - 2 : -1;
  }
}

} // namespace

PresetStripControl::PresetStripControl(const IRECT& bounds, PresetLibrary& library, const IVStyle& style)
  : IControl(bounds)
  , IVectorBase(style)
  , presetLibrary(library)
  , mSelf(std::make_shared<PresetStripControl*>(this))
{
  SetTooltip("");
  AttachIControl(this, "");
}

PresetStripControl::~PresetStripControl() = default;

PresetStripControl::Zones PresetStripControl::layout() const
{
  Zones z{};
  const IRECT& r = GetRECT();
  const float h = r.H();
  const float toggleWidth = collapsed ? (collapsedToggleWidth > 0.f ? collapsedToggleWidth : 1.2f * h)
                                      : (expandedToggleWidth > 0.f ? expandedToggleWidth : 1.2f * h);
  z[kCollapse] = IRECT(r.L, r.T, r.L + toggleWidth, r.B);
  if (collapsed)
    return z;

  const float button = buttonWidth > 0.f ? buttonWidth : 2.8f * h * buttonWidthScale;
  float right = r.R;
  auto take = [&](int zone, bool shown) {
    if (!shown)
      return;
    z[zone] = IRECT(right - button, r.T, right, r.B);
    right -= button;
  };
  take(kAddFolder, showAddFolder);
  take(kOpenFolder, showOpenFolder);
  take(kLoad, showSaveLoad);
  take(kSave, showSaveLoad);
  take(kRedo, showRedo);
  take(kUndo, showUndo);

  const float stepWidth = 1.8f * h;
  z[kNext] = IRECT(right - stepWidth, r.T, right, r.B);
  z[kPrevious] = IRECT(z[kCollapse].R, r.T, z[kCollapse].R + stepWidth, r.B);
  z[kName] = IRECT(z[kPrevious].R, r.T, z[kNext].L, r.B);
  return z;
}

IRECT PresetStripControl::zoneRect(int zone) const
{
  if (zone <= kNone || zone >= kNumZones)
    return IRECT();
  return layout()[static_cast<size_t>(zone)];
}

IRECT PresetStripControl::nameZoneRect() const
{
  if (collapsed)
    return IRECT(0.f, GetRECT().T, 0.f, GetRECT().B);
  return zoneRect(kName);
}

int PresetStripControl::hitZone(float x, float y) const
{
  const Zones z = layout();
  if (collapsed)
    return contains(z[kCollapse], x, y) ? kCollapse : kNone;
  for (int zone : {kCollapse, kPrevious, kNext, kUndo, kRedo, kSave, kLoad, kOpenFolder, kAddFolder, kName})
    if (contains(z[static_cast<size_t>(zone)], x, y))
      return zone;
  return kNone;
}

void PresetStripControl::setHovered(int zone)
{
  if (hoveredZone == zone)
    return;
  hoveredZone = zone;
  SetDirty(false);
}

void PresetStripControl::setPressed(int zone)
{
  if (pressedZone == zone)
    return;
  pressedZone = zone;
  SetDirty(false);
}

void PresetStripControl::step(int direction)
{
  const int n = presetLibrary.factoryCount() + presetLibrary.userCount();
  if (n <= 0)
    return;
  const int current = presetLibrary.currentIndex();
  int target = 0;
  if (current >= 0)
    target = (current + n + direction) % n;
  else
    target = direction < 0 ? n - 1 : 0;
  presetLibrary.navigateTo(target);
  SetDirty(false);
}

void PresetStripControl::press(float x, float y)
{
  const int zone = hitZone(x, y);
  setPressed(zone);
  switch (zone)
  {
  case kCollapse:
    if (!collapsible)
      break;
    collapsed = !collapsed;
    if (onCollapseToggled)
      onCollapseToggled(collapsed);
    SetDirty(false);
    break;
  case kPrevious: step(-1); break;
  case kName:
    if (onNameClicked && !presetLibrary.navigationLocked())
      onNameClicked();
    break;
  case kNext: step(+1); break;
  case kUndo:
    presetLibrary.undo();
    SetDirty(false);
    break;
  case kRedo:
    presetLibrary.redo();
    SetDirty(false);
    break;
  case kSave: promptSave(); break;
  case kLoad: promptLoad(); break;
  case kOpenFolder: presetLibrary.openFolder(); break;
  case kAddFolder: promptScanFolder(); break;
  default: break;
  }
}

void PresetStripControl::OnMouseDown(float x, float y, const IMouseMod&) { press(x, y); }

void PresetStripControl::OnMouseUp(float, float, const IMouseMod&) { setPressed(kNone); }

// A double click steps twice on previous and next; a second dialog is refused while one is open.
void PresetStripControl::OnMouseDblClick(float x, float y, const IMouseMod&) { press(x, y); }

void PresetStripControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl::OnMouseOver(x, y, mod);
  setHovered(hitZone(x, y));
}

void PresetStripControl::OnMouseOut()
{
  IControl::OnMouseOut();
  setHovered(kNone);
  setPressed(kNone);
}

PresetStripControl::Shown PresetStripControl::shownNow() const
{
  Shown shown;
  shown.collapsed = collapsed;
  shown.collapsible = collapsible;
  shown.hoveredZone = hoveredZone;
  shown.pressedZone = pressedZone;
  if (collapsed)
    return shown;
  shown.navigation = !presetLibrary.navigationLocked();
  shown.loadLocked = presetLibrary.fileLoadLocked();
  shown.canUndo = showUndo && presetLibrary.canUndo();
  shown.canRedo = showRedo && presetLibrary.canRedo();
  shown.labelAndPrefix = labelAndPrefix();
  return shown;
}

bool PresetStripControl::IsDirty() { return IControl::IsDirty() || !mDrawn || *mDrawn != shownNow(); }

const char* PresetStripControl::hoveredTooltip() const
{
  const int slot = tooltipSlot(hoveredZone);
  return slot < 0 ? "" : zoneTooltips[static_cast<size_t>(slot)].c_str();
}

IRECT PresetStripControl::hoveredTooltipRect() const
{
  if (hoveredZone == kNone || hoveredZone == kName || hoveredZone >= kNumZones || hoveredZone < 0)
    return GetRECT();
  return zoneRect(hoveredZone);
}

std::string PresetStripControl::presetNumberPrefix(int listIndex) const
{
  if (!showNumbers || listIndex < 0 || listIndex >= presetLibrary.factoryCount())
    return {};
  return std::to_string(listIndex + 1) + numberSeparator;
}

std::pair<std::string, std::string> PresetStripControl::labelAndPrefix() const
{
  if (nameOverride)
  {
    if (const std::optional<NameOverride> o = nameOverride())
    {
      std::string label = o->name.empty() ? customLabel : o->name;
      if (o->modified)
        label += modifiedMarker;
      return {label, {}};
    }
  }
  const int current = presetLibrary.currentIndex();
  if (current < 0)
    return {customLabel, {}};
  std::string label = presetLibrary.currentName();
  const std::string group = presetLibrary.currentGroup();
  if (!group.empty())
    label = group + "/" + label;
  if (presetLibrary.isEdited())
    label += modifiedMarker;
  return {label, presetNumberPrefix(current)};
}

std::string PresetStripControl::fitPathLabel(IGfx& g, const IText& style, const std::string& label, float maxWidth)
{
  auto fits = [&](const std::string& text) {
    IRECT bounds;
    return g.MeasureText(style, text.c_str(), bounds) <= maxWidth;
  };
  if (label.empty() || fits(label))
    return label;

  std::vector<std::string> segments;
  size_t start = 0;
  for (size_t slash = label.find('/'); slash != std::string::npos; slash = label.find('/', start))
  {
    segments.push_back(label.substr(start, slash - start));
    start = slash + 1;
  }
  segments.push_back(label.substr(start));

  // Leading folders go first, one at a time; the last segment stays whole.
  for (size_t k = 1; k < segments.size(); ++k)
  {
    std::string candidate = ".../";
    for (size_t i = k; i < segments.size(); ++i)
    {
      candidate += segments[i];
      if (i + 1 < segments.size())
        candidate += "/";
    }
    if (fits(candidate))
      return candidate;
  }

  const std::string& last = segments.back();
  for (size_t i = 1; i < last.size(); ++i)
  {
    while (i < last.size() && (static_cast<unsigned char>(last[i]) & 0xC0) == 0x80)
      ++i;
    if (i >= last.size())
      break;
    const std::string candidate = "..." + last.substr(i);
    if (fits(candidate))
      return candidate;
  }
  return "...";
}

void PresetStripControl::Draw(IGfx& g)
{
  mDrawn = shownNow();
  const Zones z = layout();
  const IColor& bg = GetColor(EVColor::BG);
  const IColor& pressedColor = GetColor(EVColor::PR);
  const IColor& frame = GetColor(EVColor::FR);
  const IColor& highlight = GetColor(EVColor::HL);
  const IText& valueText = GetStyle().valueText;

  g.FillRect(bg, GetRECT(), &mBlend);

  auto button = [&](int zone, const GlyphLabel& glyph, bool enabled) {
    const IRECT& r = z[static_cast<size_t>(zone)];
    if (enabled && (pressedZone == zone || hoveredZone == zone))
      g.FillRect(pressedZone == zone ? pressedColor : highlight, r, &mBlend);
    if (frame.A > 0)
      g.DrawRect(enabled ? frame : withAlpha(frame, kDimmedAlpha), r, &mBlend, 1.f);
    IText text = valueText;
    text.mFGColor.A = enabled ? 255 : kDimmedAlpha;
    drawGlyphLabel(g, glyph, r, text, &mBlend, glyphSpacing);
  };

  button(kCollapse, collapsed ? expandGlyph : collapseGlyph, collapsible);
  if (collapsed)
    return;

  const bool navigation = !presetLibrary.navigationLocked();
  const bool loadLocked = presetLibrary.fileLoadLocked();
  button(kPrevious, prevGlyph, navigation);
  button(kNext, nextGlyph, navigation);
  if (showUndo)
    button(kUndo, undoGlyph, presetLibrary.canUndo());
  if (showRedo)
    button(kRedo, redoGlyph, presetLibrary.canRedo());
  if (showSaveLoad)
  {
    button(kSave, saveGlyph, true);
    button(kLoad, loadGlyph, !loadLocked);
  }
  if (showOpenFolder)
    button(kOpenFolder, folderGlyph, true);
  if (showAddFolder)
    button(kAddFolder, scanGlyph, true);

  const IRECT& name = z[kName];
  if (navigation && hoveredZone == kName)
    g.FillRect(highlight, name, &mBlend);
  IText text = valueText;
  text.mFGColor.A = navigation ? 255 : kDimmedAlpha;
  text.mAlign = EAlign::Center;
  text.mVAlign = EVAlign::Middle;
  const auto [label, prefix] = labelAndPrefix();
  float prefixWidth = 0.f;
  if (!prefix.empty())
  {
    IRECT measured;
    prefixWidth = g.MeasureText(text, prefix.c_str(), measured);
  }
  const std::string shown = prefix + fitPathLabel(g, text, label, name.W() - 12.f - prefixWidth);
  g.DrawText(text, shown.c_str(), name, &mBlend);
}

std::string PresetStripControl::startFolder() const
{
  const std::string last = presetLibrary.lastUsedFolder();
  return last.empty() ? presetLibrary.userPresetFolder() : last;
}

void PresetStripControl::runDialog(const std::function<void(std::function<void(const std::string&)>)>& open,
                                   std::function<void(PresetLibrary&, const std::string&)> use)
{
  if (!GetUI() || mDialogOpen)
    return;
  mDialogOpen = true;
  std::weak_ptr<PresetStripControl*> self = mSelf;
  PresetLibrary* library = &presetLibrary;
  open([self, library, use = std::move(use)](const std::string& chosen) {
    if (!chosen.empty())
      use(*library, chosen);
    if (const auto strip = self.lock())
    {
      (*strip)->mDialogOpen = false;
      if (!chosen.empty())
        (*strip)->SetDirty(false);
    }
  });
}

void PresetStripControl::promptSave()
{
  if (!GetUI() || mDialogOpen)
    return;
  std::error_code ec;
  std::filesystem::create_directories(presetLibrary.userPresetFolder(), ec);
  runDialog(
    [this](std::function<void(const std::string&)> done) {
      TextString fileName(""), path(startFolder().c_str());
      GetUI()->PromptForFile(fileName, path, EFileAction::Save, "fxp",
                             [done](const TextString& file, const TextString&) { done(file.Get()); });
    },
    [](PresetLibrary& library, const std::string& path) { library.saveToFile(path); });
}

void PresetStripControl::promptLoad()
{
  runDialog(
    [this](std::function<void(const std::string&)> done) {
      TextString fileName(""), path(startFolder().c_str());
      GetUI()->PromptForFile(fileName, path, EFileAction::Open, "fxp",
                             [done](const TextString& file, const TextString&) { done(file.Get()); });
    },
    [](PresetLibrary& library, const std::string& path) { library.loadFromFile(path); });
}

void PresetStripControl::promptScanFolder()
{
  runDialog(
    [this](std::function<void(const std::string&)> done) {
      TextString dir(startFolder().c_str());
      GetUI()->PromptForDirectory(dir, [done](const TextString&, const TextString& folder) { done(folder.Get()); });
    },
    [](PresetLibrary& library, const std::string& folder) { library.addFolder(folder); });
}

} // namespace zarvo::ui
