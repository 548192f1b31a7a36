// What a DSP processor is set up for: its rate, its largest block and its channel count.
#pragma once

namespace zarvo {

// Handed to prepare() at set-up time (main thread): prepare may allocate for up to maxBlockSize
// frames of numChannels channels; reset() and the processing calls then never allocate.
struct ProcessSetup
{
  double sampleRate = 44100.0; // Hz, the rate processing runs at
  int maxBlockSize = 0;        // frames per processing call, at most
  int numChannels = 0;
};

} // namespace zarvo
