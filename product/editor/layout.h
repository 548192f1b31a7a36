// The editor's layout: one function builds every control, in a fixed order, each time the editor
// opens or is rebuilt. Its steps live in the other files of this folder; this header names the tags,
// the groups, the shared styles and the steps.
#pragma once

#include "IGfx/IRECT.h"
#include "IGfx/IVStyle.h"
#include "product/editor/editor_model.h"
#include "utils/ui/ControlRegistry.h"

namespace plugkit::gfx {
class IGfx;
} // namespace plugkit::gfx

namespace vemlor::ui {

// Tags the plug-in and later steps find controls by; every other control has tag -1.
enum EditorTag : int
{
  kTagAboutBox = 7,
  kTagHostInfoLast = 1044, // the about box's sample-rate and buffer-size line
  kTagCCSave = 1050,
  kTagCCLoad = 1051,
  kTagCCCopy = 1052,
  kTagCCPaste = 1053,
  kTagCCCaption = 1054,
  kTagRandomize = 1060,
  kTagMutate = 1061,
  kTagMainStageCoeffs = 1062,
  kTagPreAStageCoeffs = 1063,
  kTagPreBStageCoeffs = 1064,
  kTagMorphPad = 1065,
  kTagPresetStrip = 1066,
  kTagCCClear = 1067,
  kTagUserTab = 1068,
  kTagHoverHelp = 1070,
  kTagPresetBrowser = 1071,
};

// The controller-map row's controls and the clear button, hidden while the strip is collapsed.
inline constexpr int kPresetRowTags[] = {kTagCCCaption, kTagCCCopy, kTagCCPaste, kTagCCSave, kTagCCLoad, kTagCCClear};

inline constexpr const char* kGroupTabAll = "TAB_ALL";
inline constexpr const char* kGroupTabFreqs = "TAB_FREQS";
inline constexpr const char* kGroupTabUser = "TAB_USER";
inline constexpr const char* kGroupPreset = "PRESET";
inline constexpr const char* kGroupRandMut = "RANDMUT";
inline constexpr const char* kGroupMorph = "MORPH";

inline constexpr int kEditorWidth = 940;
inline constexpr float kBandHeight = 200.f;

// The three styles built at the start of every layout pass and copied, with changes, per control.
struct EditorStyles
{
  plugkit::gfx::IVStyle style1, style2, style3;
};

// What every step of one layout pass shares.
struct LayoutPass
{
  EditorModel& model;
  plugkit::gfx::IGfx& g;
  EditorStyles styles;
  float W = 940.f, H = 200.f;
  // The upper 200 pixels, present at both editor heights.
  plugkit::gfx::IRECT band;
  // Where the tabs lay their controls out: (152, 20, W - 30, 180) once the header is built.
  plugkit::gfx::IRECT content;
  // Built by buildEditorRegistry; copied into the user tab panel.
  zarvo::ui::ControlRegistry registry;
};

// The whole layout function, installed by the plug-in's initializeLayout. Main thread.
void layoutEditor(EditorModel& model, plugkit::gfx::IGfx& g);

// Steps, in the order layoutEditor runs them. Main thread.
EditorStyles makeEditorStyles();               // the three shared styles
void attachEditorFrame(LayoutPass& pass);      // fonts, bubble, resizer, background, scale watcher
void attachHeader(LayoutPass& pass);           // logo, tabs, MORPH, oversampling, randomize, mutate
void attachPresetRow(LayoutPass& pass);        // preset strip, controller-map row, clear button
void buildEditorRegistry(LayoutPass& pass);    // the registry of every control a user tab can hold
void attachAllControlsTab(LayoutPass& pass);   // the ALL tab
void attachFrequenciesTab(LayoutPass& pass);   // the FREQS tab
void attachUserTab(LayoutPass& pass);          // the USER tab's panel
void attachHelpAndAbout(LayoutPass& pass);     // about button, hover-help toggle, about box
void applyInitialVisibility(LayoutPass& pass); // which tab and groups show, locked cutoffs
void attachMorphPage(LayoutPass& pass);        // the morph page below the band
void attachPresetBrowser(LayoutPass& pass);    // the preset browser over the band
void finishLayout(LayoutPass& pass);           // hover help, controller marks, displays up to date

} // namespace vemlor::ui
