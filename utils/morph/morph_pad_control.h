// The editor control that shows the morph field and edits its points, the morph position and the
// field's settings. Main thread only, like every control.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/ILayer.h"
#include "utils/morph/field_appearance.h"
#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_field_overlay.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/ui/ITooltipHost.h"
#include "utils/ui/SliderWidget.h"

namespace zarvo::morph {

// What a learn of the morph position's axes waits for, and the controllers they follow.
struct MorphPadXYLearnInfo
{
  int pending = 0; // 0 none, 1 X, 2 Y
  int ccX = -1;
  int ccY = -1;
};

enum class MorphPadPointSoundSource : int32_t
{
  Paste = 0, // the copied point sound
  Bake = 1   // the blend heard at the morph position
};

struct MorphPadAppearance
{
  plugkit::gfx::IColor accentColor = plugkit::gfx::COLOR_BLACK;
  plugkit::gfx::IColor highlightColor = plugkit::gfx::COLOR_BLACK;
  plugkit::gfx::IColor lightColor = plugkit::gfx::COLOR_BLACK;
  bool hasAccentColor = false;
  bool hasHighlightColor = false;
  bool hasLightColor = false;
  std::string pointGlyph = "\xE2\x96\xB3"; // U+25B3
  std::string pointGlyphFont;
  std::array<std::string, 4> lockGlyphs; // on, off, position lock icon, sound lock icon
  std::string lockGlyphFont;
  zarvo::ui::GlyphLabel editOffLabel{"edit"};
  zarvo::ui::GlyphLabel editOnLabel{"lock"};
  zarvo::ui::GlyphLabel copyLabel{"copy"};
  zarvo::ui::GlyphLabel pasteLabel{"clip"};
  zarvo::ui::GlyphLabel blendRowLabel{"morph"};
  zarvo::ui::GlyphLabel saveLabel{"save"};
  zarvo::ui::GlyphLabel loadLabel{"file"};
  zarvo::ui::GlyphLabel contrastLabel{"contrast"};
  zarvo::ui::GlyphLabel linesLabel{"lines"};
  zarvo::ui::GlyphLabel rigRowLabel{"X/Y"};
  zarvo::ui::GlyphLabel bakeLabel{">"};
  zarvo::ui::GlyphLabel undoLabel{"undo"};
  zarvo::ui::GlyphLabel redoLabel{"redo"};
  zarvo::ui::GlyphLabel spreadLabel{"spread"};
  float glyphRunGap = 0.f;
  plugkit::gfx::IColor darkColor = plugkit::gfx::COLOR_BLACK;
  plugkit::gfx::IColor highlightColor2 = plugkit::gfx::COLOR_BLACK;
  bool hasDarkColor = false;
  bool hasHighlightColor2 = false;
};

struct MorphPadCallbacks
{
  std::function<void(uint32_t)> onSelectionChanged;
  std::function<void(uint32_t, const MorphValues&, MorphPadPointSoundSource)> onCommitPointSound;
  std::function<void(int)> onCopyPointSound;
  std::function<void(bool)> onUserGesture;
  std::function<void(bool)> onPointsEdit;
  std::function<void()> onLearnX;
  std::function<void()> onLearnY;
  std::function<void()> onSwapXY;
  std::function<void()> onClearXY;
  std::function<MorphPadXYLearnInfo()> learnInfo;
  std::function<void()> onSaveBlend;
  std::function<void(uint32_t)> onLoadPointsFromFile;
  std::function<void(int)> onSavePointToFile;
  std::function<void()> onCopyRig;
  std::function<void()> onPasteRig;
  std::function<void()> onImportRig;
  std::function<void()> onExportRig;
  std::function<void()> onUndo;
  std::function<void()> onRedo;
  std::function<bool()> canUndo;
  std::function<bool()> canRedo;
  std::function<void(float lineBrightness, int isoLevels, float gridStep)> onAppearanceChanged;
  // The spread slider's value when its drag ends (the editor keeps it as the pad's fourth setting).
  std::function<void(float)> onDragEndValue;
  std::function<bool()> clipboardHasRig;
};

// The appearance and the callbacks are private bases so that the implementation names their fields
// directly.
class MorphPadControl : public plugkit::gfx::IControl,
                        public plugkit::gfx::IVectorBase,
                        public zarvo::ui::ITooltipHost,
                        private MorphPadAppearance,
                        private MorphPadCallbacks
{
public:
  using Appearance = MorphPadAppearance;
  using Callbacks = MorphPadCallbacks;
  using XYLearnInfo = MorphPadXYLearnInfo;
  using PointSoundSource = MorphPadPointSoundSource;
  using IRECT = plugkit::gfx::IRECT;
  using IGfx = plugkit::gfx::IGfx;
  using IText = plugkit::gfx::IText;
  using IColor = plugkit::gfx::IColor;
  using IMouseMod = plugkit::gfx::IMouseMod;
  using GlyphLabel = zarvo::ui::GlyphLabel;
  using Mask = uint32_t;

  struct ActionRow
  {
    int first;
    int count;
    uint8_t hasLabel;
  };
  static constexpr std::array<ActionRow, 4> kActionRows = {{{0, 4, 1}, {4, 2, 1}, {6, 4, 1}, {10, 2, 0}}};
  static constexpr int kNumActions = 12;

  // Up to two centred lines at the top of the pad.
  struct StatusLines
  {
    std::array<std::string, 2> lines;
    int count = 0;
    void add(std::string line)
    {
      if (count < 2)
        lines[static_cast<size_t>(count++)] = std::move(line);
    }
  };

  // params: {X, Y}. The engine belongs to the plug-in and outlives the pad.
  MorphPadControl(const IRECT& bounds, const std::vector<int>& params, MorphEngine& engine,
                  const plugkit::gfx::IVStyle& style);
  ~MorphPadControl() override;

  //---IControl
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const plugkit::IKeyPress& key) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  void CreateContextMenu(plugkit::gfx::IPopupMenu& menu) override;
  void OnContextSelection(int itemTag) override;
  void Draw(IGfx& g) override;
  void SetValueFromDelegate(double value, int valIdx = 0) override;
  void OnEndAnimation() override;

  //---ITooltipHost
  const char* hoveredTooltip() const override { return hoverTooltip.c_str(); }
  IRECT hoveredTooltipRect() const override { return hoverTooltipRect; }

  //---Set up by the editor
  const Appearance& appearance() const { return *this; }
  void setAppearance(const Appearance& look);
  // Handed in once; an empty callback disables what needs it.
  const Callbacks& callbacks() const { return *this; }
  void setCallbacks(Callbacks callbacks);
  // The overlay's line brightness 0..1, iso setting and grid step, as given; forces a rebuild.
  void setFieldAppearance(float lineBrightness, int isoLevels, float gridStep);
  // The spread slider's position 0..1 before any drag.
  void setSpreadValue(float value) { spreadValue = value; }
  // Points the user at what to edit; the plug-in calls it when a control the field drives is touched.
  void pulseEditAffordance();

  //---Selection, focus and animations
  void applySelection(Mask mask);
  void capturePreDragPositions();
  void teleportCenter(float& cx, float& cy) const;
  void modeCenter(const MorphPoint& point, float& cx, float& cy) const;
  Mask marqueeMask() const;
  void moveDraggedPoints(int grabbed, float px, float py);
  void moveUserPointTo(float x, float y);
  void toggleActivation(int point);
  bool toggleSelectAllPoints();
  void commitPointSound(Mask mask, const MorphValues& values, PointSoundSource source);
  void resetApprSlider(int index);

  //---Actions
  void doAction(int index);
  IRECT actionBtnRect(int index) const;
  bool actionEnabled(int index) const;

  //---Arrangement
  void relaxAllPoints(Mask first);
  void scaleSpreadGroup(float factor);
  // Starts a spread of the selection about its centre.
  void beginSpread();

  //---Sliders
  IRECT apprSliderRect(int index) const;
  std::string apprSliderLabel(int index) const;
  void setApprFromX(int index, float x, bool fine);
  void setSizeFromX(float x, bool fine);
  // The field's point-size (0), shape-contrast (1) and cutoff-contrast (2) sliders, in the settings
  // mode along the bottom edge right of the appearance sliders; each setter maps x on its own slider.
  static constexpr int kNumFieldSliders = 3;
  IRECT fieldSliderRect(int index) const;
  // The iso-line count of an iso setting 0..14.
  static int isoLevelCountFor(int isoLevels) { return appearance::isoLevelCountFor(isoLevels); }
  // The spread slider: outside the settings mode, while two or more points are selected.
  IRECT spreadSliderRect() const;
  bool spreadSliderShown() const;

  //---What the drawing shows
  static std::string fracLabel(float v);
  std::pair<float, float> widestTopGap() const;
  // What the rings and the status show: the marquee, an armed selection, or the engine's selection.
  Mask displaySelection() const;
  StatusLines statusLines() const;

  // Fixed areas, in pixels of the pad's rectangle.
  IRECT editButtonRect() const;
  // Pixel centre of the morph position, kept 6·ps inside.
  void markerCenter(float& cx, float& cy) const;
  // The point under (x, y): the teleport point, else the nearest user point; -1 none.
  int pointAt(float x, float y) const;

  // How often the field has been drawn into its cached layer; for tests and benchmarks. A backend
  // without offscreen bitmaps draws the field straight through each frame, and each counts.
  uint64_t fieldLayerDraws() const { return mFieldLayerDraws; }

private:
  friend struct MorphPadTestProbe;

  enum class Drag : uint8_t
  {
    none,
    editButton, // pressed, toggles at release
    marquee,
    point,    // a user point or the teleport point, pressedPoint
    position, // the morph position
    contrastSlider,
    apprSlider,
    fieldSlider,
    spreadSlider
  };

  MorphEngine& engine;
  // What the pointer holds between press and release: one thing at a time.
  Drag drag = Drag::none;
  // The appearance slider (0..2) or field slider (0..kNumFieldSliders-1) a slider drag holds.
  int dragSlider = -1;
  // A point drag has moved past the press threshold.
  bool pointDragStarted = false;
  std::array<float, 2> marqueeStart{};
  std::array<float, 2> marqueeEnd{};
  int pressedPoint = -1;
  bool pressWithShift = false;
  std::array<float, 2> pressPos{};
  std::array<double, kNumPoints> preDragX{};
  std::array<double, kNumPoints> preDragY{};
  int pendingSelectPoint = -1;
  bool pendingSelectAdd = false;
  Mask pendingCollapseMask = 0;
  Mask spreadGroup = 0;
  std::array<float, 2> spreadCentre{};
  float spreadAtStart = 1.f;
  float spreadValue = 1.f;
  float spreadAppliedValue = 0.f;
  Mask spreadAppliedGroup = 0;
  float spreadFill = 0.f;
  bool editButtonHovered = false;
  std::array<float, 2> dragGrabOffset{};
  float sliderLastX = 0.f;

  bool pointsEditOpen = false;
  int hoveredLockButton = -1;
  bool rigOnClipboard = false;
  int rigPollCountdown = 0;
  MorphValues copiedSound{};
  bool hasCopiedSound = false;
  int hoveredAction = -1;
  std::array<float, 2> mousePos{};
  bool mouseInside = false;
  std::string hoverTooltip;
  IRECT hoverTooltipRect;
  int flashActionIndex = -1;
  float flashAmount = 0.f;
  int pulseTarget = 0; // 1 sound lock button, 2 position lock button, 3 the points
  float pulseAmount = 0.f;
  MorphFieldOverlay overlay;
  zarvo::ui::SliderWidget sliderWidget;

  // Internals of input, arrangement, hover help, sliders and drawing.
  void cancelPendingSelect();
  void armPendingSelect(int point, bool add);
  void flashAction(int action);
  void startPulseAnimation();
  Mask obstacleMask(Mask movers) const;
  bool moversBounds(Mask mask, float& minX, float& minY, float& maxX, float& maxY) const;
  void separateMovers(Mask movers, int anchor);
  void shoveNeighboursAside(Mask movers, int anchor);
  void pushMoversAside(float& px, float& py, Mask movers, int anchor, int self) const;
  void settleMovers(Mask movers, int anchor, const std::array<float, kNumPoints>& prevX,
                    const std::array<float, kNumPoints>& prevY);
  void resolveHoverTooltip(float x, float y);
  std::string actionTooltip(int action) const;
  // Where appearance slider index sits, 0..1.
  float apprSliderShown(int index) const;
  void setContrastFromX(float x, bool fine);
  void setShapeContrastFromX(float x, bool fine);
  void setCutoffContrastFromX(float x, bool fine);
  // Where field slider index sits, 0..1.
  float fieldSliderShown(int index) const;
  std::string fieldSliderLabel(int index) const;
  void drawTeleportPoint(IGfx& g, const IText& text);
  void drawLockButtons(IGfx& g, const IText& text);
  void drawLearnStatus(IGfx& g, const IText& text);
  void drawActionButtons(IGfx& g, const IText& text);
  void drawPointsPulse(IGfx& g);
  void drawStatusBlock(IGfx& g, const IText& text, const StatusLines& lines);
  void drawFieldGroup(IGfx& g, const IText& text);
  void drawAppearanceSliders(IGfx& g, const IText& text);
  void drawFieldSliders(IGfx& g);
  void drawSpreadSlider(IGfx& g, const IText& text);
  void drawHistogram(IGfx& g, const IText& text);
  void drawContourLabels(IGfx& g, const IText& text);
  // The field: background, outline, overlay and level labels, the bottom of every frame.
  void drawField(IGfx& g, const IText& text);
  GlyphLabel pointTargetGlyph() const;
  GlyphLabel actionGlyph(int action, const GlyphLabel& target) const;
  // Fixed areas, in pixels of the pad's rectangle.
  IRECT lockButtonRect(int i) const;
  IRECT contrastSliderRect() const;

  // Everything the field's picture depends on besides the pad's rectangle and the draw scale, which
  // the layer checks itself. The overlay's geometry enters through its rebuild count and sizes.
  struct FieldLayerKey
  {
    uint64_t rebuilds = ~uint64_t{0};
    IRECT bounds;
    IColor background;
    IColor outline;
    plugkit::gfx::IBlend blend;
    float lineBrightness = -1.f;
    float gridStep = 0.f;
    float labelTextSize = 0.f;
    float cellBorderStrength = 0.f;
    int grayMin = 0;
    int grayMax = 0;
    std::array<bool, 5> shown{};
    std::array<size_t, 5> counts{};
    std::array<char, IText::kMaxFontNameLength> font{};
    bool operator==(const FieldLayerKey&) const = default;
  };
  FieldLayerKey fieldLayerKey(const IText& text) const;
  // Draws the field from its layer, redrawing the layer first when the key or the layer is stale.
  void drawFieldLayer(IGfx& g, const IText& text);

  float ps() const { return static_cast<float>(engine.pointScale()); }
  float margin(int i) const { return (i == 0 ? 15.f : 18.f) * ps(); }
  float footprint(int i) const;
  float required(int a, int b) const { return footprint(a) + footprint(b); }
  // Pixel position of point i, clamped into its inset; from the pre-drag positions when preDrag.
  void clampedPixel(int i, float& px, float& py, bool preDrag = false) const;
  void clampToInset(int i, float& px, float& py) const;
  void writeBack(int i, float px, float py);
  void pushApart(float& px, float& py, int a, float qx, float qy, int b, float d, bool golden) const;
  float overlapAt(int i, float px, float py, Mask set) const;
  void edgeRelease(int i, float& px, float& py, Mask set) const;
  // Some pair of user points overlaps by more than 1 px.
  bool anyOverlap() const;
  // Stores mask and focus by the focus rule, without the callback.
  void storeSelection(Mask mask);
  // Reports a selection: the callback, or the focus rule; then a redraw.
  void reportSelection(Mask mask);
  // A mode button's selection rule: stores the new focus (and a cleared mask), then reports a change.
  void applyModeSelection(bool clearSelection, bool focusFollowsSelection);
  void beginUserDrag(float x, float y, const IMouseMod& mod);
  void openPointsEdit();
  void closePointsEdit();
  void setSigmaFromT(float t);
  // Field slider index's position for a pointer at x, without moving anything.
  float fieldSliderT(int index, float x, bool fine) const;
  // A press or drag step on a field slider: the first change opens the points edit (one undo step).
  void dragFieldSlider(int index, float x, bool fine);
  IText padText() const;
  IColor accent() const;
  IColor border() const;
  IColor hoverColour() const;
  IColor buttonFace() const;
  IColor ringGrey() const;
  bool learnBoxShown(XYLearnInfo& info) const;
  float learnBoxLeft() const;
  void configureSlider(const IRECT& r);

  static void flashAnimation(plugkit::gfx::IControl* caller);
  static void pulseAnimation(plugkit::gfx::IControl* caller);

  plugkit::gfx::ILayerPtr mFieldLayer;
  FieldLayerKey mFieldLayerKey;
  uint64_t mFieldLayerDraws = 0;
};

} // namespace zarvo::morph
