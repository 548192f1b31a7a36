#include "product/patch/randomizer.h"

#include <algorithm>
#include <cmath>

#include "IPlugin/IPluginThreadRole.h"
#include "product/patch/preset_manager.h"
#include "utils/repeatable_run.h"

namespace zarvo {
namespace {

double noteFreq(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }

int passTypeOf(ParamValueMap& patch) { return static_cast<int>(std::lround(patch[par_main_pass_type])); }

// Below this the low-pass main filter counts as a deep, dark one (the gain and darkening rules).
double lowPassDepthLimit(double cutoffHz)
{
  const double x = std::log10(cutoffHz / 1000.0);
  return x < 0.0 ? 0.4 : 0.4 + 0.2 * std::min(1.0, x);
}

} // namespace

Randomizer::Randomizer()
  : mRng(freshInstanceSeed())
{}

Randomizer::Randomizer(uint32_t seed)
  : mRng(seed)
{}

int Randomizer::uniformInt(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRng); }

double Randomizer::uniform() { return std::generate_canonical<double, 53>(mRng); }

double Randomizer::pick(std::initializer_list<double> values)
{
  return values.begin()[uniformInt(0, static_cast<int>(values.size()) - 1)];
}

int Randomizer::weighted(std::initializer_list<double> weights)
{
  return std::discrete_distribution<int>(weights)(mRng);
}

// Uniform in pitch from 50 Hz to 16 kHz.
double Randomizer::logUniformFreq() { return noteFreq(31.349957715000777 + 99.86313713864834 * uniform()); }

double Randomizer::maybeCentSlide(double hz)
{
  if (uniform() < 0.5)
    return hz;
  return hz * std::exp2((40.0 * uniform() - 20.0) / 1200.0);
}

double Randomizer::genDrive(double cutoffHz)
{
  switch (weighted({1.0, 1.0, cutoffHz < 150.0 ? 2.0 : 1.0, 1.0}))
  {
  case 0: return 0.0;
  case 1: return 0.05;
  case 2: return uniform() < 0.5 ? 0.85 : 0.8;
  default: return 0.1 + 0.7 * uniform();
  }
}

double Randomizer::genResonance()
{
  switch (uniformInt(0, 3))
  {
  case 0: return 0.0;
  case 1: return 0.95;
  case 2: return 1.0;
  default: return 0.5 + 0.4 * uniform();
  }
}

double Randomizer::genBreakChar()
{
  if (uniform() < 0.5)
    return uniformInt(1, 11);
  const double whole = uniformInt(1, 10);
  return whole + pick({0.25, 0.5, 0.75});
}

ParamValueMap Randomizer::generate()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ParamValueMap patch;
  const int passType = uniformInt(0, 5);
  patch[par_main_pass_type] = passType;

  // High-pass and band-pass stay below 5 kHz, where they still have something to work on.
  const double cap = passType == 1 || passType == 3 ? 5000.0 : 16000.0;
  const int topNote = static_cast<int>(std::floor(12.0 * std::log2(cap / 440.0) + 69.0));
  const double cutoff = std::min(cap, maybeCentSlide(noteFreq(uniformInt(32, topNote))));
  patch[par_main_cutoff_hz] = cutoff;
  patch[par_main_cutoff_note_anchored] = 1.0;
  patch[par_main_drive] = genDrive(cutoff);
  patch[par_main_resonance] = genResonance();
  patch[par_main_saturation_type] = pick({0, 1, 2});
  patch[par_main_pt_depth] = 0.25 + 0.25 * uniformInt(0, 3);
  patch[par_main_pt_tilt] = pick({0, 0, 0, -1, -0.5, 0.5, 1});

  patch[par_break_intensity] = 0.1 * uniformInt(0, 10);
  patch[par_break_character] = genBreakChar();
  patch[par_break_param] = 0.2 * uniformInt(0, 5);
  patch[par_break_double] = pick({0, 0.125, 0.25, 0.5, 0.75, 1});
  patch[par_break_invert_fb] = pick({0, 1});

  const double release = pick({0, 1, 2, 10, 50, 100, 150, 250, 1000, 2000});
  patch[par_damping_release] = release;
  patch[par_damping_hold] = release <= 50.0 ? pick({0, 0.1, 0.2, 1}) : pick({2, 5, 10});
  patch[par_damping_thresh] = uniform() < 1.0 / 3.0 ? pick({-18, -12, -6, -1}) : pick({-80, -60, -40});

  std::pair<double, double> preFreqs;
  switch (uniformInt(0, 2))
  {
  case 0: preFreqs = genBandpass(patch); break;
  case 1: preFreqs = genColoring(patch); break;
  default: preFreqs = genResonant(patch); break;
  }

  genDetune(patch, preFreqs.first, preFreqs.second);
  shapePassTypeCharacter(patch);
  stabilizeResonantDrive(patch);
  tameHarshness(patch);
  cosmeticDarkLow(patch);
  return patch;
}

std::pair<double, double> Randomizer::genBandpass(ParamValueMap& patch)
{
  const double f1 = logUniformFreq();
  const double f2 = logUniformFreq();
  const double hzA = std::max(f1, f2);
  const double hzB = std::min(f1, f2);
  patch[par_preFlt_A_pt] = 0;
  patch[par_preFlt_B_pt] = 1;
  patch[par_preFlt_A_hz] = hzA;
  patch[par_preFlt_B_hz] = hzB;
  patch[par_preA_cutoff_note_anchored] = 0;
  patch[par_preB_cutoff_note_anchored] = 0;
  patch[par_preFlt_A_res] = 0.5 + 0.3 * uniform();
  patch[par_preFlt_B_res] = 0.5 + 0.3 * uniform();
  patch[par_preFlt_processing_order] = 1.0;
  patch[par_preFlt_band_mode] = pick({0, 0.25, 0.75, 1});
  patch[par_neg_band_mix] = 0.25 * uniformInt(0, 4);
  return {hzA, hzB};
}

std::pair<double, double> Randomizer::genColoring(ParamValueMap& patch)
{
  const double hzA = logUniformFreq();
  const double hzB = logUniformFreq();
  patch[par_preFlt_A_pt] = pick({2, 3, 4});
  patch[par_preFlt_B_pt] = pick({2, 3, 4});
  patch[par_preFlt_A_hz] = hzA;
  patch[par_preFlt_B_hz] = hzB;
  patch[par_preA_cutoff_note_anchored] = 0;
  patch[par_preB_cutoff_note_anchored] = 0;
  patch[par_preFlt_A_res] = 0.5 + 0.3 * uniform();
  patch[par_preFlt_B_res] = 0.5 + 0.3 * uniform();
  patch[par_preFlt_processing_order] = pick({0, 0.3, 0.5, 0.7, 0.9, 1});
  patch[par_preFlt_band_mode] = pick({0, 0.25, 0.75, 1});
  patch[par_neg_band_mix] = 0;
  return {hzA, hzB};
}

std::pair<double, double> Randomizer::genResonant(ParamValueMap& patch)
{
  const double order = pick({0, 0.3, 0.5, 0.7, 0.9, 1});
  double resA = pick({0.9, 0.95, 0.99, 0.995, 0.999, 1.0});
  double resB = pick({0.9, 0.95, 0.99, 0.995, 0.999, 1.0});
  // Two near-self-oscillating filters in series pile up into a runaway peak.
  if (order > 0.7 && resA > 0.95 && resB > 0.95)
  {
    if (uniform() < 0.5)
      resA = pick({0.9, 0.95});
    else
      resB = pick({0.9, 0.95});
  }
  const auto [hzA, hzB] = genResonantFreqs();
  patch[par_preFlt_processing_order] = order;
  patch[par_preFlt_A_res] = resA;
  patch[par_preFlt_B_res] = resB;
  patch[par_preFlt_A_pt] = pick({0, 2, 4});
  patch[par_preFlt_B_pt] = pick({0, 2, 4});
  patch[par_preFlt_A_hz] = hzA;
  patch[par_preFlt_B_hz] = hzB;
  patch[par_preA_cutoff_note_anchored] = 1;
  patch[par_preB_cutoff_note_anchored] = 1;
  patch[par_preFlt_band_mode] = pick({0.2, 0.4, 0.6, 0.8, 1.0});
  patch[par_neg_band_mix] = uniform() < 0.5 ? 0.0 : pick({0.25, 0.5, 1, 2});
  return {hzA, hzB};
}

std::pair<double, double> Randomizer::genResonantFreqs()
{
  double first = 0.0;
  double second = 0.0;
  switch (uniformInt(0, 2))
  {
  case 0:
    if (uniform() < 0.5)
    {
      first = maybeCentSlide(noteFreq(uniformInt(68, 131)));
      second = maybeCentSlide(noteFreq(uniformInt(32, 67)));
    }
    else
    {
      first = maybeCentSlide(noteFreq(uniformInt(32, 67)));
      second = maybeCentSlide(noteFreq(uniformInt(32, 67)));
    }
    break;
  case 1:
    // A low note and a sub-octave, twelfth or two octaves below it.
    first = noteFreq(uniformInt(32, 39));
    second = first / pick({2, 3, 4});
    break;
  default:
  {
    const int base = uniformInt(40, 74);
    int other = base;
    switch (uniformInt(0, 2))
    {
    case 0: other = base + static_cast<int>(pick({-7, -6, -5, -4, 4, 5, 6, 7})); break;
    case 1: other = base + static_cast<int>(pick({-24, -12, 12, 24})); break;
    default:
      do
        other = uniformInt(32, 131);
      while (std::abs(base - other) < 13);
      break;
    }
    first = maybeCentSlide(noteFreq(base));
    second = maybeCentSlide(noteFreq(other));
    break;
  }
  }
  if (uniform() < 0.5)
    return {first, second};
  return {second, first};
}

void Randomizer::genDetune(ParamValueMap& patch, double hzA, double hzB)
{
  std::array<int, 3> stages = {par_main_detune, par_preFlt_A_detune, par_preFlt_B_detune};
  if (uniform() < 0.5)
  {
    for (int stage : stages)
      patch[stage] = 0.0;
    return;
  }
  std::swap(stages[0], stages[static_cast<size_t>(uniformInt(0, 2))]);
  std::swap(stages[1], stages[static_cast<size_t>(1 + uniformInt(0, 1))]);
  const int detuned = uniformInt(1, 3);
  for (int i = 0; i < 3; ++i)
  {
    const int stage = stages[static_cast<size_t>(i)];
    if (i >= detuned)
    {
      patch[stage] = 0.0;
      continue;
    }
    // Wide detune on a sub-bass pre-filter only beats.
    const bool lowPre = (stage == par_preFlt_A_detune && hzA <= 80.0) || (stage == par_preFlt_B_detune && hzB <= 80.0);
    patch[stage] = lowPre ? pick({1, 5}) : pick({1, 5, 10, 20});
  }
}

void Randomizer::shapePassTypeCharacter(ParamValueMap& patch)
{
  const int passType = passTypeOf(patch);
  double& drive = patch[par_main_drive];
  double& intensity = patch[par_break_intensity];
  if (passType == 3 && drive <= 0.4 && intensity <= 0.4)
  {
    // A clean band-pass is thin; give it drive or break.
    if (uniformInt(0, 1) == 0)
      drive = 0.45 + 0.3 * uniform();
    else
      intensity = pick({0.5, 0.6});
  }
  else if (passType == 5 && intensity > 0.1)
  {
    drive = std::max(0.25, drive);
    patch[par_main_resonance] = std::min(0.25, patch[par_main_resonance]);
  }
}

void Randomizer::stabilizeResonantDrive(ParamValueMap& patch)
{
  const int passType = passTypeOf(patch);
  double& resonance = patch[par_main_resonance];
  double& drive = patch[par_main_drive];
  if (passType == 0 || passType == 4 || patch[par_main_cutoff_hz] <= 700.0 || resonance <= 0.5 || drive <= 0.5)
    return;
  if (uniform() < 0.5)
  {
    if (resonance >= drive)
      resonance *= 0.5;
    else
      drive *= 0.5;
  }
  else
  {
    patch[par_damping_thresh] = -12.0;
    patch[par_damping_release] = std::min(100.0, patch[par_damping_release]);
  }
}

void Randomizer::tameHarshness(ParamValueMap& patch)
{
  const double cutoff = patch[par_main_cutoff_hz];
  const int passType = passTypeOf(patch);

  for (auto [hz, res] : {std::pair{par_preFlt_A_hz, par_preFlt_A_res}, std::pair{par_preFlt_B_hz, par_preFlt_B_res}})
  {
    const double f = patch[hz];
    const double cap = f > 1000.0 ? 0.95 : (f > 500.0 ? 0.99 : 0.997);
    patch[res] = std::min(cap, patch[res]);
  }
  double& resonance = patch[par_main_resonance];
  resonance = std::min(cutoff > 1000.0 ? 0.85 : 0.995, resonance);

  bool makeUp = false;
  if (passType != 0)
  {
    makeUp = true;
    if (passType == 5 || passType == 2)
      patch[par_neg_band_mix] = std::min(1.0, patch[par_neg_band_mix]);
  }
  else
  {
    makeUp = lowPassDepthLimit(cutoff) >= patch[par_main_pt_depth] && cutoff >= 500.0;
  }

  double drive = std::min(0.85, patch[par_main_drive]);
  const double breakThreshold = patch[par_break_double] > 0.4 ? 0.5 : 0.6;
  if (drive < 0.05 && patch[par_break_intensity] > breakThreshold)
    drive = 0.05;
  patch[par_main_drive] = drive;

  double gain = 0.0;
  if (makeUp)
  {
    gain = drive > 0.5 ? -8.0 * (drive - 0.5) / 0.35 : 0.0;
    if (passType == 3 || passType == 4)
      gain *= 0.4;
  }
  const double resA = patch[par_preFlt_A_res];
  const double resB = patch[par_preFlt_B_res];
  const double bandMode = patch[par_preFlt_band_mode];
  if ((passType == 5 || passType == 2) && resA > 0.9 && resB > 0.9 && bandMode > 0.5)
    gain = std::min(gain, -12.0 * (bandMode - 0.5));
  if (resonance < 0.85 && resA < 0.85 && resB < 0.85 && drive < 0.5)
  {
    double boost = passType == 3 || passType == 4 ? 12.0 * (0.5 - drive) : 0.0;
    if (cutoff < 200.0)
      boost =
        std::max(boost, 6.0 * std::clamp((std::log(200.0) - std::log(cutoff)) / std::log(200.0 / 60.0), 0.0, 1.0));
    gain += boost;
  }
  patch[par_main_gain] = gain;
}

void Randomizer::cosmeticDarkLow(ParamValueMap& patch)
{
  const double cutoff = patch[par_main_cutoff_hz];
  if (passTypeOf(patch) != 0 || patch[par_main_pt_depth] <= lowPassDepthLimit(cutoff) || cutoff >= 300.0)
    return;
  switch (uniformInt(0, 2))
  {
  case 1: patch[par_main_resonance] = 0.75; break;
  case 2: patch[par_main_resonance] = 0.9; break;
  default: break;
  }
  switch (uniformInt(0, 2))
  {
  case 1: patch[par_main_drive] = 0.5; break;
  case 2: patch[par_main_drive] = 0.75; break;
  default: break;
  }
}

ParamValueMap Randomizer::snapshot(const Getter& getter) const
{
  ParamValueMap values;
  for (int p : kParams)
    values[p] = getter(p);
  return values;
}

ParamValueMap Randomizer::mutate(MutationSession& session, const Getter& getter)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const ParamValueMap current = snapshot(getter);
  if (std::ranges::find(session.history, current) == session.history.end())
  {
    // Edited by hand (or never seen): mutations now start from what is there.
    session.base = current;
    session.history = {current};
  }
  ParamValueMap result = session.base;

  if (uniform() < 1.0 / 3.0)
  {
    const double baseCharacter = result[par_break_character];
    double character = genBreakChar();
    while (std::abs(character - baseCharacter) < 0.4)
      character = genBreakChar();
    result[par_break_character] = character;
    if (result[par_break_intensity] <= 0.0)
      result[par_break_intensity] = 0.2 + 0.3 * uniform();
    return result;
  }

  ParamValueMap fresh = generate();
  std::array<int, kParams.size()> order = kParams;
  std::shuffle(order.begin(), order.end(), mRng);
  std::vector<int> chosen(order.begin(), order.begin() + uniformInt(2, 6));
  // Self-oscillating resonances and a top-octave cutoff are the settings most worth moving away from.
  for (int res : {par_main_resonance, par_preFlt_A_res, par_preFlt_B_res})
    if (result[res] > 0.999 && uniform() < 0.5)
      chosen.push_back(res);
  if (result[par_main_cutoff_hz] > 4000.0 && uniform() < 0.5)
    chosen.push_back(par_main_cutoff_hz);

  for (int p : chosen)
  {
    result[p] = fresh[p];
    if (p == par_main_cutoff_hz)
      result[par_main_cutoff_note_anchored] = fresh[par_main_cutoff_note_anchored];
    else if (p == par_preFlt_A_hz)
      result[par_preA_cutoff_note_anchored] = fresh[par_preA_cutoff_note_anchored];
    else if (p == par_preFlt_B_hz)
      result[par_preB_cutoff_note_anchored] = fresh[par_preB_cutoff_note_anchored];
    else if (p == par_damping_release)
      result[par_damping_hold] = fresh[par_damping_hold];
  }
  shapePassTypeCharacter(result);
  stabilizeResonantDrive(result);
  tameHarshness(result);
  return result;
}

void Randomizer::recordRandomized(MutationSession& session, const Getter& getter) const
{
  session.base = snapshot(getter);
  session.history = {session.base};
}

void Randomizer::recordMutated(MutationSession& session, const Getter& getter) const
{
  session.history.push_back(snapshot(getter));
}

namespace {

Randomizer::Getter currentValues(const RandomizerTarget& target)
{
  return [&target](int index) {
    const plugkit::IParam* p = target.param(index);
    return p ? p->Value() : 0.0;
  };
}

void writeValues(RandomizerTarget& target, const ParamValueMap& values)
{
  for (const auto& [index, plain] : values)
  {
    const plugkit::IParam* p = target.param(index);
    if (!p)
      continue;
    const double normalized = p->ToNormalized(plain);
    target.beginParamEditFromUI(index);
    target.sendParamValueFromUI(index, normalized);
    target.endParamEditFromUI(index);
  }
  for (int i = 0; i < target.paramCount(); ++i)
    if (const plugkit::IParam* p = target.param(i))
      target.sendParamValueToEditor(i, p->GetNormalized());
}

} // namespace

void applyRandomizerParams(RandomizerTarget& target, const ParamValueMap& values, bool isRandomize)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  target.flushPendingUngesturedEdit();
  PresetManager* manager = target.presetManager();
  if (!manager)
  {
    writeValues(target, values);
    return;
  }
  PresetManager::PatchIdentity identity = manager->patchIdentity();
  target.setBulkApply(true);
  manager->pushUndo();
  writeValues(target, values);
  manager->setLoadedEntry(-1, false);
  manager->captureBaseline();
  target.setBulkApply(false);
  if (!isRandomize)
  {
    // A variation of a named preset is still that preset, modified.
    identity.modified = true;
    const int entry = manager->resolveIdentity(identity);
    manager->setLoadedEntry(entry, entry >= 0);
  }
}

void randomizePatch(RandomizerTarget& target, Randomizer& randomizer, Randomizer::MutationSession& session)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (target.morphActive())
  {
    target.morphRandomize();
    return;
  }
  applyRandomizerParams(target, randomizer.generate(), true);
  randomizer.recordRandomized(session, currentValues(target));
}

void mutatePatch(RandomizerTarget& target, Randomizer& randomizer, Randomizer::MutationSession& session)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (target.morphActive())
  {
    target.morphMutate();
    return;
  }
  const Randomizer::Getter current = currentValues(target);
  applyRandomizerParams(target, randomizer.mutate(session, current), false);
  randomizer.recordMutated(session, current);
}

} // namespace zarvo
