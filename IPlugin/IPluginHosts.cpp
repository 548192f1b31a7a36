#include "IPlugin/IPluginHosts.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace plugkit {

namespace {

struct HostName
{
  std::string_view text;
  EHost host;
};

// Tested in this order: "wavelab elements" before "wavelab"; "standalone" and "www" last, so that a
// real host's name wins over them.
constexpr HostName kHostNames[] = {
  {"reaper", kHostReaper},
  {"protools", kHostProTools},
  {"cubase", kHostCubase},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"vegas", kHostVegas},
  {"fruity", kHostFL},
  {"samplitude", kHostSamplitude},
  {"live", kHostAbletonLive},
  {"tracktion", kHostTracktion},
  {"ntracks", kHostNTracks},
  {"melodyne", kHostMelodyneStudio},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"bias", kHostBias},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"garageband", kHostGarageBand},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"ardour", kHostArdour},
  {"renoise", kHostRenoise},
  {"openmpt", kHostOpenMPT},
  {"wavelab elements", kHostWaveLabElements},
  {"wavelab", kHostWaveLab},
  {"twistedwave", kHostTwistedWave},
  {"bitwig studio", kHostBitwig},
  {"reason", kHostReason},
  {"gwvst", kHostGoldWave5x},
  {"waveform", kHostWaveform},
  {"audacity", kHostAudacity},
  {"acoustica", kHostAcoustica},
  {"plugindoctor", kHostPluginDoctor},
  {"izotope rx", kHostiZotopeRX},
  {"savihost", kHostSAVIHost},
  {"blue cat's vst host", kHostBlueCat},
  {"mixbus", kHostMixbus},
  {"standalone", kHostStandalone},
  {"www", kHostWWW},
};

} // namespace

EHost LookUpHost(const char* name)
{
  std::string lower = name ? name : "";
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const HostName& entry : kHostNames)
  {
    if (lower.find(entry.text) != std::string::npos)
      return entry.host;
  }
  return kHostUnknown;
}

} // namespace plugkit
