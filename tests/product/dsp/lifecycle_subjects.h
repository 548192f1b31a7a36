// Every DSP processor behind one small interface, set up with settings that use its state, so
// that lifecycle tests can run the same checks over all of them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "product/dsp/lanes.h"
#include "product/dsp/oversampler.h"
#include "product/dsp/state_variable_zdf.h"
#include "product/dsp/transistor_fractal.h"
#include "product/dsp/vemlor_model.h"
#include "utils/audio_buffer.h"
#include "utils/process_setup.h"
#include "utils/soft_limiter.h"

namespace zarvo::test {

// Two channels of one block, processed in place.
using Stereo = std::array<std::vector<double>, 2>;

class LifecycleSubject
{
public:
  virtual ~LifecycleSubject() = default;
  virtual void prepare(const ProcessSetup& setup) = 0;
  virtual void reset() = 0;
  // Frames up to the prepared block size; allocates nothing.
  virtual void process(Stereo& io) = 0;
};

namespace lifecycle {

inline AudioBuffer view(Stereo& io)
{
  double* channels[2] = {io[0].data(), io[1].data()};
  return AudioBuffer(channels, 2, io[0].size());
}

class OversamplerRoundTrip final : public LifecycleSubject
{
public:
  void prepare(const ProcessSetup& setup) override
  {
    mOversampler.setFactor(4);
    mOversampler.prepare(setup);
    for (auto& c : mUp)
      c.assign(static_cast<std::size_t>(setup.maxBlockSize) * 4, 0.0);
  }
  void reset() override { mOversampler.reset(); }
  void process(Stereo& io) override
  {
    AudioBuffer block = view(io);
    double* up[2] = {mUp[0].data(), mUp[1].data()};
    AudioBuffer upBlock(up, 2, io[0].size() * 4);
    mOversampler.upsample(block, upBlock);
    mOversampler.downsample(upBlock, block);
  }

private:
  Oversampler mOversampler;
  Stereo mUp;
};

class PreFilterLanes final : public LifecycleSubject
{
public:
  PreFilterLanes()
  {
    mFilter.setCutoff(v2d{400.0, 3000.0});
    mFilter.setResonance(both(0.9));
  }
  void prepare(const ProcessSetup& setup) override { mFilter.prepare(setup); }
  void reset() override { mFilter.reset(); }
  void process(Stereo& io) override
  {
    for (std::size_t i = 0; i < io[0].size(); ++i)
    {
      const v2d y = mFilter.processSample(v2d{io[0][i], io[1][i]}, both(1.0));
      io[0][i] = y[0];
      io[1][i] = y[1];
    }
  }

private:
  StateVariableZDF<v2d, 1> mFilter{{0.5, 0.2, 1.0}};
};

class MainFilterLanes final : public LifecycleSubject
{
public:
  explicit MainFilterLanes(bool diode)
  {
    mFilter.setDiodeModel(diode);
    mFilter.setFreq(v2d{700.0, 1900.0});
    mFilter.setResonance(0.95);
    mFilter.setDrive(0.4);
    mFilter.setBreakIntensity(0.5);
    mFilter.setBreakCharacter(3.5);
  }
  void prepare(const ProcessSetup& setup) override { mFilter.prepare(setup); }
  void reset() override { mFilter.reset(); }
  void process(Stereo& io) override
  {
    for (std::size_t i = 0; i < io[0].size(); ++i)
    {
      const v2d y = mFilter.processSample(v2d{io[0][i], io[1][i]}, both(1.0));
      io[0][i] = y[0];
      io[1][i] = y[1];
    }
  }

private:
  BasicTransistorFractal<v2d> mFilter;
};

class Model final : public LifecycleSubject
{
public:
  Model()
  {
    mModel.setMainCutoff(900.0, 20.0);
    mModel.setMainResonance(0.9);
    mModel.setPreFilterCutoff(VemlorModel::PreFilter::A, 2500.0, 10.0);
    mModel.setPreFilterResonance(VemlorModel::PreFilter::A, 0.8);
    mModel.setBreakIntensity(0.4);
    mModel.setBreakCharacter(5.5);
    mModel.setDampingRelease(50.0);
    mModel.setDampingThreshold(-30.0);
    mModel.bandMode = 0.3;
  }
  void prepare(const ProcessSetup& setup) override { mModel.prepare(setup); }
  void reset() override { mModel.reset(); }
  void process(Stereo& io) override
  {
    AudioBuffer block = view(io);
    for (std::size_t pos = 0; pos < block.numFrames(); pos += 16)
    {
      AudioBuffer tick = block.subBuffer(pos, std::min<std::size_t>(16, block.numFrames() - pos));
      mModel.processBuffer(tick);
    }
  }

private:
  VemlorModel mModel;
};

class Limiter final : public LifecycleSubject
{
public:
  void prepare(const ProcessSetup& setup) override { mLimiter.prepare(setup); }
  void reset() override { mLimiter.reset(); }
  void process(Stereo& io) override
  {
    AudioBuffer block = view(io);
    mLimiter.processBuffer(block);
  }

private:
  SoftLimiter mLimiter{-3.0, 6.0};
};

struct Entry
{
  const char* name;
  std::function<std::unique_ptr<LifecycleSubject>()> make;
};

inline const std::vector<Entry>& subjects()
{
  static const std::vector<Entry> all = {
    {"oversampler", [] { return std::make_unique<OversamplerRoundTrip>(); }},
    {"pre-filter", [] { return std::make_unique<PreFilterLanes>(); }},
    {"main filter, ladder", [] { return std::make_unique<MainFilterLanes>(false); }},
    {"main filter, diode", [] { return std::make_unique<MainFilterLanes>(true); }},
    {"model", [] { return std::make_unique<Model>(); }},
    {"soft limiter", [] { return std::make_unique<Limiter>(); }},
  };
  return all;
}

// A loud then a quiet stretch of noise (or the other way round), different per seed.
inline Stereo noiseBlock(std::size_t frames, unsigned seed, bool quietFirst = false)
{
  Stereo s;
  unsigned x = seed * 2654435761u + 1;
  for (auto& c : s)
  {
    c.resize(frames);
    for (std::size_t i = 0; i < frames; ++i)
    {
      x = x * 1664525u + 1013904223u;
      const double v = static_cast<double>(x >> 8) / 8388608.0 - 1.0;
      c[i] = (i < frames / 2) != quietFirst ? 1.5 * v : 0.001 * v;
    }
  }
  return s;
}

} // namespace lifecycle
} // namespace zarvo::test
