// The patch randomizer: generating new patches, mutating a base patch, and applying a result to
// the plug-in as one undoable edit that the host sees as ordinary parameter gestures.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "product/params/params.h"
#include "utils/mutation_session.h"

namespace zarvo {

class PresetManager;

// One random generator per plug-in instance, shared by the patch buttons and the morph field.
// Main thread only; no lock.
class Randomizer
{
public:
  // A parameter's current plain value.
  using Getter = ParamGetter;

  // The patch a series of mutations starts from, and every result applied since.
  using MutationSession = zarvo::MutationSession;

  // The parameters the randomizer owns; a snapshot holds exactly these.
  static constexpr std::array<int, 26> kParams = {
    par_main_cutoff_hz,  par_main_resonance,  par_main_drive,       par_main_saturation_type,
    par_main_pass_type,  par_main_pt_depth,   par_main_pt_tilt,     par_break_intensity,
    par_break_character, par_break_param,     par_break_double,     par_break_invert_fb,
    par_preFlt_A_hz,     par_preFlt_A_res,    par_preFlt_A_pt,      par_preFlt_B_hz,
    par_preFlt_B_res,    par_preFlt_B_pt,     par_preFlt_band_mode, par_preFlt_processing_order,
    par_neg_band_mix,    par_damping_release, par_damping_thresh,   par_main_detune,
    par_preFlt_A_detune, par_preFlt_B_detune,
  };

  // Seeded once from the system's random device (a fixed seed in a repeatable run); never reseeded.
  Randomizer();
  // A reproducible sequence, for tests and tools.
  explicit Randomizer(uint32_t seed);

  // A new patch: the 26 owned parameters, the three note-anchor switches, the damping hold and
  // the make-up gain (31 entries).
  ParamValueMap generate();
  // An index drawn with probability proportional to its weight.
  int weighted(std::initializer_list<double> weights);
  // The owned parameters' current values.
  ParamValueMap snapshot(const Getter& getter) const;

  // A variation of the session's base; a current patch that the session has not seen becomes
  // the new base first.
  ParamValueMap mutate(MutationSession& session, const Getter& getter);
  // After a randomize has been applied: the applied patch becomes the base.
  void recordRandomized(MutationSession& session, const Getter& getter) const;
  // After a mutation has been applied: it joins the history, so the next mutate still starts
  // from the base.
  void recordMutated(MutationSession& session, const Getter& getter) const;

private:
  int uniformInt(int lo, int hi);
  double uniform();
  double pick(std::initializer_list<double> values);
  double logUniformFreq();

  double maybeCentSlide(double hz);
  double genDrive(double cutoffHz);
  double genResonance();
  double genBreakChar();

  std::pair<double, double> genBandpass(ParamValueMap& patch);
  std::pair<double, double> genColoring(ParamValueMap& patch);
  std::pair<double, double> genResonant(ParamValueMap& patch);
  std::pair<double, double> genResonantFreqs();
  void genDetune(ParamValueMap& patch, double hzA, double hzB);

  // Repair passes, run in this order.
  void shapePassTypeCharacter(ParamValueMap& patch);
  void stabilizeResonantDrive(ParamValueMap& patch);
  void tameHarshness(ParamValueMap& patch);
  void cosmeticDarkLow(ParamValueMap& patch);

  std::mt19937 mRng;
};

// What applying a patch needs of the plug-in; the plug-in class implements it. Main thread.
class RandomizerTarget
{
public:
  virtual ~RandomizerTarget() = default;

  virtual int paramCount() const = 0;
  // Null for an index outside the parameters.
  virtual const plugkit::IParam* param(int index) const = 0;
  // One editor edit: begin, send and end, as a knob gesture reaches the host and the plug-in.
  virtual void beginParamEditFromUI(int index) = 0;
  virtual void sendParamValueFromUI(int index, double normalized) = 0;
  virtual void endParamEditFromUI(int index) = 0;
  // Shows a parameter's value in the editor.
  virtual void sendParamValueToEditor(int index, double normalized) = 0;
  // Commits an edit made without a gesture that is still waiting, as its own undo step.
  virtual void flushPendingUngesturedEdit() = 0;
  // While raised, parameter changes register no edits and ending a gesture commits nothing.
  virtual void setBulkApply(bool applying) = 0;
  // Null when the plug-in has none.
  virtual PresetManager* presetManager() = 0;
  // While the morph field is on, the buttons act on morph points instead.
  virtual bool morphActive() const = 0;
  virtual void morphRandomize() = 0;
  virtual void morphMutate() = 0;
};

// The editor's randomize button: a new patch as one undo step, belonging to no preset. Main thread.
void randomizePatch(RandomizerTarget& target, Randomizer& randomizer, Randomizer::MutationSession& session);
// The editor's mutate button: a sibling of the session's base as one undo step; a named preset
// keeps its name, marked modified. Main thread.
void mutatePatch(RandomizerTarget& target, Randomizer& randomizer, Randomizer::MutationSession& session);
// Writes a map into the plug-in: one begin/send/end per entry, then every value to the editor;
// with a preset manager, as one undo step. Main thread.
void applyRandomizerParams(RandomizerTarget& target, const ParamValueMap& values, bool isRandomize);

} // namespace zarvo
