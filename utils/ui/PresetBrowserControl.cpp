#include "utils/ui/PresetBrowserControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"
#include "utils/ui/PresetStripControl.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

namespace {

constexpr int kVKEscape = 0x1B;

bool inside(const IRECT& r, float x, float y) { return x >= r.L && x < r.R && y >= r.T && y < r.B; }

IText leftMiddle(IText t)
{
  t.mAlign = EAlign::Near;
  t.mVAlign = EVAlign::Middle;
  return t;
}

} // namespace

PresetBrowserControl::PresetBrowserControl(PresetLibrary& library, const IVStyle& style)
  : IControl(IRECT())
  , IVectorBase(style)
  , presetLibrary(library)
{
  headerText = leftMiddle(style.valueText);
  itemText = leftMiddle(style.valueText);
  AttachIControl(this, "");
  SetTooltip("");
  mHide = true;
}

PresetBrowserControl::~PresetBrowserControl() = default;

void PresetBrowserControl::setAppearance(const Appearance& look)
{
  static_cast<Appearance&>(*this) = look;
  measured = false;
  SetDirty(false);
}

void PresetBrowserControl::connectStrip(PresetStripControl& strip)
{
  anchor = strip.nameZoneRect();
  // The strip may have been expanded or resized since the editor was built.
  strip.onNameClicked = [this, &strip] {
    anchor = strip.nameZoneRect();
    open();
  };
}

void PresetBrowserControl::open()
{
  if (GetUI())
    SetTargetAndDrawRECTs(GetUI()->GetBounds());
  presetLibrary.refreshUserPresets();
  buildTree();
  revealCurrent();
  measured = false;
  isOpen = true;
  Hide(false);
  SetDirty(false);
}

void PresetBrowserControl::close()
{
  isOpen = false;
  hoveredRow = -1;
  draggingThumb = false;
  Hide(true);
  SetDirty(false);
}

void PresetBrowserControl::buildTree()
{
  entries = presetLibrary.browseEntries();
  nodes.clear();
  roots.clear();

  auto findOrAdd = [this](std::vector<int32_t>& siblings, const std::string& name) {
    for (int32_t n : siblings)
      if (nodes[static_cast<size_t>(n)].name == name)
        return n;
    nodes.push_back(Node{name, false, {}, {}});
    const auto added = static_cast<int32_t>(nodes.size() - 1);
    siblings.push_back(added);
    return added;
  };

  for (size_t e = 0; e < entries.size(); ++e)
  {
    int32_t node = findOrAdd(roots, entries[e].factory ? "FACTORY" : "USER");
    const std::string& group = entries[e].group;
    size_t start = 0;
    while (start <= group.size())
    {
      size_t slash = group.find('/', start);
      if (slash == std::string::npos)
        slash = group.size();
      if (slash > start)
      {
        // Copy the children out: findOrAdd may grow nodes and move them.
        std::vector<int32_t> children = nodes[static_cast<size_t>(node)].children;
        const int32_t child = findOrAdd(children, group.substr(start, slash - start));
        nodes[static_cast<size_t>(node)].children = std::move(children);
        node = child;
      }
      start = slash + 1;
    }
    nodes[static_cast<size_t>(node)].entries.push_back(static_cast<int32_t>(e));
  }
  layoutRows();
}

void PresetBrowserControl::layoutRows()
{
  rows.clear();
  float y = 0.f;
  for (int32_t root : roots)
    emitNode(root, 0, y);
  contentHeight = y;
}

void PresetBrowserControl::emitNode(int node, int depth, float& y)
{
  rows.push_back(Row{true, node, -1, depth, y, headerHeight});
  y += headerHeight;
  const Node& n = nodes[static_cast<size_t>(node)];
  if (n.collapsed)
    return;
  for (int32_t e : n.entries)
  {
    rows.push_back(Row{false, node, e, depth + 1, y, rowHeight});
    y += rowHeight;
  }
  // Copied: emitNode appends to rows only, but keep the loop independent of the node's storage.
  const std::vector<int32_t> children = n.children;
  for (int32_t child : children)
    emitNode(child, depth + 1, y);
}

bool PresetBrowserControl::expandToEntry(int node, int listIndex)
{
  Node& n = nodes[static_cast<size_t>(node)];
  for (int32_t e : n.entries)
    if (entries[static_cast<size_t>(e)].index == listIndex)
    {
      n.collapsed = false;
      return true;
    }
  const std::vector<int32_t> children = n.children;
  for (int32_t child : children)
    if (expandToEntry(child, listIndex))
    {
      nodes[static_cast<size_t>(node)].collapsed = false;
      return true;
    }
  return false;
}

void PresetBrowserControl::revealCurrent()
{
  revealY = -1.f;
  const int current = presetLibrary.currentIndex();
  bool found = false;
  if (current >= 0)
    for (int32_t root : roots)
      if ((found = expandToEntry(root, current)))
        break;
  if (!found)
  {
    scrollY = 0.f;
    return;
  }
  layoutRows();
  for (const Row& row : rows)
    if (!row.header && entries[static_cast<size_t>(row.entry)].index == current)
    {
      revealY = row.y;
      break;
    }
}

IRECT PresetBrowserControl::boundsNow() const { return GetUI() ? GetUI()->GetBounds() : GetRECT(); }

PresetBrowserControl::Geometry PresetBrowserControl::geometry() const
{
  const IRECT bounds = boundsNow();
  Geometry out;
  out.panel.L = anchor.L;
  out.panel.T = anchor.B;
  out.panel.R = std::min(anchor.L + std::max(contentWidth, anchor.W()), bounds.R);
  // The panel keeps at least the distance from the bottom that its top has from the top.
  const float avail = bounds.B - (anchor.B - bounds.T) - panelInset - (anchor.B + panelInset);
  const float listHeight = contentHeight <= avail + rowHeight ? contentHeight : avail;
  out.panel.B = anchor.B + 2.f * panelInset + listHeight;
  out.list = out.panel.GetPadded(-panelInset);
  return out;
}

IRECT PresetBrowserControl::thumbRect() const
{
  const IRECT list = geometry().list;
  const float listHeight = list.H();
  if (contentHeight <= listHeight)
    return IRECT();
  const float thumbHeight = std::max(listHeight * listHeight / contentHeight, minThumbHeight);
  const float top = list.T + (listHeight - thumbHeight) * scrollY / (contentHeight - listHeight);
  return IRECT(list.R - scrollBarWidth, top, list.R, top + thumbHeight);
}

void PresetBrowserControl::updateScroll(float listHeight)
{
  if (revealY >= 0.f)
  {
    scrollY = revealY - listHeight / 2.f + rowHeight / 2.f;
    revealY = -1.f;
  }
  scrollY = std::clamp(scrollY, 0.f, std::max(contentHeight - listHeight, 0.f));
}

int PresetBrowserControl::rowAt(float x, float y) const
{
  const IRECT list = geometry().list;
  if (!inside(list, x, y))
    return -1;
  const float position = y - list.T + scrollY;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].y <= position && position < rows[i].y + rows[i].height)
      return static_cast<int>(i);
  return -1;
}

std::string PresetBrowserControl::itemLabel(int entry) const
{
  const PresetLibrary::BrowseEntry& e = entries[static_cast<size_t>(entry)];
  if (showNumbers && e.index >= 0 && e.index < presetLibrary.factoryCount())
    return std::to_string(e.index + 1) + numberSeparator + e.name;
  return e.name;
}

void PresetBrowserControl::measureContent(IGfx& g)
{
  float widest = anchor.W();
  for (const Row& row : rows)
  {
    IRECT bounds;
    const float indent = static_cast<float>(row.depth) * rowHeight;
    float need = 0.f;
    if (row.header)
      need = indent + chevronWidth +
             g.MeasureText(headerText, nodes[static_cast<size_t>(row.node)].name.c_str(), bounds) + textGap;
    else
      need = indent + textGap + g.MeasureText(itemText, itemLabel(row.entry).c_str(), bounds) + rowHeight;
    widest = std::max(widest, need);
  }
  contentWidth = widest + scrollBarWidth + textGap;
  measured = true;
}

void PresetBrowserControl::drawHeader(IGfx& g, const IRECT& rect, int node, int row, int depth)
{
  if (headerColor.A > 0)
    g.FillRect(headerColor, rect, &mBlend);
  if (row == hoveredRow && hoverColor.A > 0)
    g.FillRect(hoverColor, rect, &mBlend);
  const Node& n = nodes[static_cast<size_t>(node)];
  const float x = rect.L + static_cast<float>(depth) * rowHeight;
  IText chevron = headerText;
  chevron.mAlign = EAlign::Center;
  chevron.mSize *= chevronScale;
  drawGlyphLabel(g, n.collapsed ? collapsedGlyph : expandedGlyph, IRECT(x, rect.T, x + chevronWidth, rect.B), chevron,
                 &mBlend, chevronSpacing);
  g.DrawText(headerText, n.name.c_str(), IRECT(x + chevronWidth + textGap, rect.T, rect.R, rect.B), &mBlend);
}

void PresetBrowserControl::drawItem(IGfx& g, const IRECT& rect, int entry, int row, int depth)
{
  const bool current = entries[static_cast<size_t>(entry)].index == presetLibrary.currentIndex();
  if (current)
  {
    if (currentColor.A > 0)
      g.FillRect(currentColor, rect, &mBlend);
  }
  else if (row == hoveredRow && hoverColor.A > 0)
    g.FillRect(hoverColor, rect, &mBlend);
  IText text = itemText;
  if (current)
    text.mFGColor = currentTextColor;
  const float x = rect.L + static_cast<float>(depth) * rowHeight + textGap;
  g.DrawText(text, itemLabel(entry).c_str(), IRECT(x, rect.T, rect.R, rect.B), &mBlend);
  if (current)
    drawGlyphLabel(g, currentMarker, IRECT(rect.R - rowHeight, rect.T, rect.R - scrollBarWidth, rect.B), text, &mBlend,
                   0.f);
}

void PresetBrowserControl::Draw(IGfx& g)
{
  if (!isOpen)
    return;
  if (!measured)
    measureContent(g);
  if (backdropColor.A > 0)
    g.FillRect(backdropColor, GetRECT(), &mBlend);
  Geometry geo = geometry();
  g.FillRect(panelColor, geo.panel, &mBlend);
  const IRECT& list = geo.list;
  updateScroll(list.H());

  g.PathClipRegion(list);
  for (size_t i = 0; i < rows.size(); ++i)
  {
    const Row& row = rows[i];
    const float top = list.T - scrollY + row.y;
    const float bottom = top + row.height;
    if (bottom <= list.T || top >= list.B)
      continue;
    const IRECT rect(list.L, top, list.R, bottom);
    if (row.header)
      drawHeader(g, rect, row.node, static_cast<int>(i), row.depth);
    else
      drawItem(g, rect, row.entry, static_cast<int>(i), row.depth);
  }
  g.PathClipRegion();

  if (contentHeight > list.H())
  {
    if (scrollY < contentHeight - list.H() - 0.5f)
    {
      const IRECT hint(list.L, list.B - rowHeight, list.R, list.B);
      g.FillRect(panelColor, hint, &mBlend);
      IText centred = itemText;
      centred.mAlign = EAlign::Center;
      g.DrawText(centred, moreText.c_str(), hint, &mBlend);
    }
    const IRECT track(list.R - scrollBarWidth, list.T, list.R, list.B);
    if (trackColor.A > 0)
      g.FillRect(trackColor, track, &mBlend);
    g.FillRect(thumbColor, thumbRect(), &mBlend);
  }
  if (borderColor.A > 0)
    g.DrawRect(borderColor, geo.panel, &mBlend, 1.f);
}

void PresetBrowserControl::OnMouseDown(float x, float y, const IMouseMod&)
{
  if (!isOpen)
    return;
  const Geometry geo = geometry();
  if (!inside(geo.panel, x, y))
  {
    close();
    return;
  }
  if (contentHeight > geo.list.H())
  {
    const IRECT thumb = thumbRect();
    if (inside(thumb, x, y))
    {
      draggingThumb = true;
      thumbGrabOffset = y - thumb.T;
      return;
    }
  }
  const int row = rowAt(x, y);
  if (row < 0)
    return;
  const Row& hit = rows[static_cast<size_t>(row)];
  if (hit.header)
  {
    Node& node = nodes[static_cast<size_t>(hit.node)];
    node.collapsed = !node.collapsed;
    layoutRows();
    updateScroll(geometry().list.H());
    SetDirty(false);
    return;
  }
  const int index = entries[static_cast<size_t>(hit.entry)].index;
  // The list may have changed since the panel opened: a stale row only closes it.
  if (index >= 0 && index < presetLibrary.factoryCount() + presetLibrary.userCount())
    presetLibrary.navigateTo(index);
  close();
}

void PresetBrowserControl::OnMouseDrag(float, float y, float, float, const IMouseMod&)
{
  if (!draggingThumb)
    return;
  const IRECT list = geometry().list;
  const float listHeight = list.H();
  if (contentHeight <= listHeight)
    return;
  const float thumbHeight = thumbRect().H();
  float top = std::min(y - thumbGrabOffset, list.B - thumbHeight);
  top = std::max(top, list.T);
  scrollY = (top - list.T) / std::max(listHeight - thumbHeight, 1.f) * (contentHeight - listHeight);
  SetDirty(false);
}

void PresetBrowserControl::OnMouseUp(float, float, const IMouseMod&)
{
  if (!draggingThumb)
    return;
  draggingThumb = false;
  SetDirty(false);
}

void PresetBrowserControl::OnMouseWheel(float, float, const IMouseMod&, float d)
{
  if (!isOpen)
    return;
  scrollY -= d * rowHeight;
  updateScroll(geometry().list.H());
  SetDirty(false);
}

bool PresetBrowserControl::OnKeyDown(float, float, const plugkit::IKeyPress& key)
{
  if (!isOpen || key.VK != kVKEscape)
    return false;
  close();
  return true;
}

void PresetBrowserControl::setHoveredRow(int row)
{
  if (hoveredRow == row)
    return;
  hoveredRow = row;
  SetDirty(false);
}

void PresetBrowserControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl::OnMouseOver(x, y, mod);
  setHoveredRow(inside(geometry().panel, x, y) ? rowAt(x, y) : -1);
}

void PresetBrowserControl::OnMouseOut()
{
  IControl::OnMouseOut();
  setHoveredRow(-1);
}

void PresetBrowserControl::OnResize()
{
  if (GetUI())
    SetTargetAndDrawRECTs(GetUI()->GetBounds());
}

} // namespace zarvo::ui
