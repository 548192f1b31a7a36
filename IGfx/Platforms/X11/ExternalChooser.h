// File, folder and colour choosers and message boxes as external programs (zenity, else kdialog), answered through the host's
// run loop so the editor keeps drawing while the user chooses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "IPlugin/IPluginSpawn.h"
#include "IPlugin/VST3/sdk/runloophooks.h"

namespace plugkit::gfx {

enum class EChooserKind
{
  OpenFile,
  SaveFile,
  Directory,
  Color,
  Message // a message box with buttons; the answer is the button pressed
};

// The button sets of a message box, first button first.
enum class EMessageButtons
{
  OK,
  OKCancel,
  YesNoCancel,
  YesNo,
  RetryCancel
};

struct ChooserRequest
{
  EChooserKind kind = EChooserKind::OpenFile;
  std::string title;
  std::string directory;  // where the chooser starts; empty for its own default
  std::string fileName;   // the proposed name when saving
  std::string extensions; // blank-separated, without dots ("fxp zarvo"); empty for any file
  std::string color;      // the colour the colour chooser starts at, "#rrggbb"; empty for its own default
  std::string text;       // a message box's text (shown as typed, no markup)
  EMessageButtons buttons = EMessageButtons::OK;
};

struct ChooserAnswer
{
  bool cancelled = true;
  std::string path;    // absolute, when not cancelled; for a colour, the chooser's text for it
  std::string message; // why no chooser could be shown, for the editor to say; empty otherwise
  int button = -1;     // a message box's button, 0 for the first; -1 when closed without one
};

// Main thread. One chooser at a time per object; destroying it ends a chooser still open, and its
// completion is then never called.
class ExternalChooser
{
public:
  using Completion = std::function<void(const ChooserAnswer&)>;

  static constexpr uint32_t kPollIntervalMs = 50;
  static constexpr const char* kNoChooserMessage = "No file chooser found: install zenity or kdialog to choose files.";

  explicit ExternalChooser(Steinberg::Linux::IRunLoop* loop)
    : mLoop(loop)
  {}
  ~ExternalChooser() { Cancel(); }
  ExternalChooser(const ExternalChooser&) = delete;
  ExternalChooser& operator=(const ExternalChooser&) = delete;

  // Starts the chooser; completion is called later from the run loop with the answer, cancelled
  // (with a message) when no chooser program could be started. False, and no call, when a chooser
  // is already open or the run loop takes neither descriptors nor timers to answer through.
  bool Start(const ChooserRequest& request, Completion completion);
  bool IsOpen() const { return static_cast<bool>(mCompletion); }
  // Closes an open chooser without calling its completion.
  void Cancel();

  // The first of zenity and kdialog that is an executable on PATH; empty when neither is.
  static std::string FindProgram();
  // The chooser's argument vector (program first).
  static std::vector<std::string> Arguments(const std::string& program, const ChooserRequest& request);

private:
  void OnOutput();
  void OnMessageClosed();
  void Complete(ChooserAnswer answer);

  EChooserKind mKind = EChooserKind::OpenFile;
  std::string mProgram;

  Steinberg::Linux::IRunLoop* mLoop;
  ChildProcess mProcess;
  RunLoopWatch mWatch;
  RunLoopTimer mPoll;
  RunLoopTimer mDeferred;
  std::string mOutput;
  Completion mCompletion;
};

} // namespace plugkit::gfx
