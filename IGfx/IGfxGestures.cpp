// Gesture routing and the QWERTY MIDI keyboard.
#include <algorithm>
#include <array>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"

namespace plugkit::gfx {

namespace {

// Shared by every editor of the process, as a hardware keyboard would be.
struct QwertyState
{
  int baseNote = 48;
  std::array<bool, 128> down{};
};

QwertyState& Qwerty()
{
  static QwertyState state;
  return state;
}

constexpr int kMinBaseNote = 24;
constexpr int kMaxBaseNote = 96;

// Two rows of the keyboard laid out as piano keys, offsets from the base note.
constexpr std::array<std::pair<int, int>, 15> kNoteKeys{{{'A', 0},
                                                         {'W', 1},
                                                         {'S', 2},
                                                         {'E', 3},
                                                         {'D', 4},
                                                         {'F', 5},
                                                         {'T', 6},
                                                         {'G', 7},
                                                         {'Y', 8},
                                                         {'H', 9},
                                                         {'U', 10},
                                                         {'J', 11},
                                                         {'K', 12},
                                                         {'O', 13},
                                                         {'L', 14}}};

constexpr uint8_t kNoteOn = 144;
constexpr uint8_t kNoteOff = 128;

} // namespace

void IGfx::AttachGestureRecognizer(EGestureType type)
{
  if (std::find(mRegisteredGestures.begin(), mRegisteredGestures.end(), type) == mRegisteredGestures.end())
    mRegisteredGestures.push_back(type);
}

void IGfx::AttachGestureRecognizerToRegion(const IRECT& bounds, EGestureType type, IGestureRegionFunc func)
{
  mGestureRegions.Add(bounds);
  AttachGestureRecognizer(type);
  mGestureRegionFuncs[mGestureRegions.Size() - 1] = std::move(func);
}

void IGfx::ClearGestureRegions()
{
  mGestureRegions.Clear();
  mGestureRegionFuncs.clear();
}

bool IGfx::RespondsToGesture(float x, float y)
{
  const IControl* control = GetMouseControl(x, y, false);
  if (control && control->GetWantsGestures())
    return true;
  return std::any_of(mGestureRegions.begin(), mGestureRegions.end(),
                     [x, y](const IRECT& r) { return r.Contains(x, y); });
}

void IGfx::OnGestureRecognized(const IGestureInfo& info)
{
  IControl* control = GetMouseControl(info.x, info.y, false);
  if (control && control->GetWantsGestures())
  {
    control->OnGesture(info);
    return;
  }
  for (int i = 0; i < mGestureRegions.Size(); ++i)
  {
    if (mGestureRegions.Get(i).Contains(info.x, info.y))
    {
      auto it = mGestureRegionFuncs.find(i);
      if (it != mGestureRegionFuncs.end() && it->second)
        it->second(nullptr, info);
      return;
    }
  }
}

void IGfx::SetQwertyMidiKeyHandlerFunc(IMidiFunc func)
{
  mQwertyMidiFunc = std::move(func);
  mKeyHandlerFunc = [this](const IKeyPress& key, bool isUp) { return HandleQwertyKey(key, isUp); };
}

void IGfx::SendQwertyMidi(uint8_t status, int note, uint8_t velocity)
{
  const IMidiMsg msg{0, status, static_cast<uint8_t>(note), velocity};
  mDelegate.SendMidiMsgFromUI(msg);
  if (mQwertyMidiFunc)
    mQwertyMidiFunc(msg);
}

bool IGfx::HandleQwertyKey(const IKeyPress& key, bool isUp)
{
  QwertyState& q = Qwerty();
  if (key.VK == 'Z' || key.VK == 'X')
  {
    if (!isUp)
    {
      q.baseNote = std::clamp(q.baseNote + (key.VK == 'Z' ? -12 : 12), kMinBaseNote, kMaxBaseNote);
      for (int note = 0; note < 128; ++note)
      {
        if (q.down[static_cast<size_t>(note)])
        {
          q.down[static_cast<size_t>(note)] = false;
          SendQwertyMidi(kNoteOff, note, 0);
        }
      }
    }
    return true;
  }
  for (const auto& [vk, offset] : kNoteKeys)
  {
    if (key.VK != vk)
      continue;
    const int pitch = q.baseNote + offset;
    bool& down = q.down[static_cast<size_t>(pitch)];
    if (!isUp && !down)
    {
      down = true;
      SendQwertyMidi(kNoteOn, pitch, 127);
    }
    else if (isUp && down)
    {
      down = false;
      SendQwertyMidi(kNoteOff, pitch, 0);
    }
    break;
  }
  return true;
}

} // namespace plugkit::gfx
