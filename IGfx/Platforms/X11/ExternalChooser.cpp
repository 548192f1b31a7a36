#include "IGfx/Platforms/X11/ExternalChooser.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

namespace {

bool IsExecutableOnPath(const std::string& name)
{
  const char* path = std::getenv("PATH");
  if (path == nullptr)
    return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':'))
  {
    if (dir.empty())
      continue;
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

std::vector<std::string> Patterns(const std::string& extensions)
{
  std::vector<std::string> patterns;
  std::stringstream words(extensions);
  std::string word;
  while (words >> word)
  {
    if (word.front() == '.')
      word.erase(0, 1);
    if (!word.empty())
      patterns.push_back("*." + word);
  }
  return patterns;
}

std::string Join(const std::vector<std::string>& parts)
{
  std::string out;
  for (const std::string& p : parts)
    out += (out.empty() ? "" : " ") + p;
  return out;
}

std::string StartPath(const ChooserRequest& request)
{
  std::string start = request.directory;
  if (!start.empty() && start.back() != '/')
    start += '/';
  if (request.kind == EChooserKind::SaveFile)
    start += request.fileName;
  return start;
}

std::vector<std::string> MessageArguments(const std::string& program, const ChooserRequest& request)
{
  std::vector<std::string> args{program};
  if (program == "kdialog")
  {
    // kdialog answers 0 for its first button, 1 for "No" and 2 for cancel or a closed box.
    switch (request.buttons)
    {
    case EMessageButtons::OK: args.insert(args.end(), {"--msgbox", request.text}); break;
    case EMessageButtons::YesNoCancel: args.insert(args.end(), {"--yesnocancel", request.text}); break;
    case EMessageButtons::YesNo: args.insert(args.end(), {"--yesno", request.text}); break;
    case EMessageButtons::OKCancel:
    case EMessageButtons::RetryCancel:
      args.insert(args.end(), {"--yesno", request.text, "--yes-label",
                               request.buttons == EMessageButtons::OKCancel ? "OK" : "Retry", "--no-label", "Cancel"});
      break;
    }
    if (!request.title.empty())
      args.insert(args.end(), {"--title", request.title});
    return args;
  }
  // zenity answers 0 for its OK button and 1 for cancel or a closed box; an extra button prints its
  // label, which is how "No" is told from "Cancel".
  args.push_back(request.buttons == EMessageButtons::OK ? "--info" : "--question");
  if (!request.title.empty())
    args.push_back("--title=" + request.title);
  args.push_back("--text=" + request.text);
  args.push_back("--no-markup");
  switch (request.buttons)
  {
  case EMessageButtons::OK: break;
  case EMessageButtons::OKCancel: args.insert(args.end(), {"--ok-label=OK", "--cancel-label=Cancel"}); break;
  case EMessageButtons::YesNoCancel:
    args.insert(args.end(), {"--ok-label=Yes", "--cancel-label=Cancel", "--extra-button=No"});
    break;
  case EMessageButtons::YesNo: args.insert(args.end(), {"--ok-label=Yes", "--cancel-label=No"}); break;
  case EMessageButtons::RetryCancel: args.insert(args.end(), {"--ok-label=Retry", "--cancel-label=Cancel"}); break;
  }
  return args;
}

} // namespace

std::string ExternalChooser::FindProgram()
{
  for (const char* name : {"zenity", "kdialog"})
    if (IsExecutableOnPath(name))
      return name;
  return {};
}

std::vector<std::string> ExternalChooser::Arguments(const std::string& program, const ChooserRequest& request)
{
  const std::vector<std::string> patterns = Patterns(request.extensions);
  const std::string start = StartPath(request);
  if (request.kind == EChooserKind::Message)
    return MessageArguments(program, request);
  std::vector<std::string> args{program};
  if (request.kind == EChooserKind::Color)
  {
    if (program == "kdialog")
    {
      args.push_back("--getcolor");
      if (!request.color.empty())
        args.insert(args.end(), {"--default", request.color});
      if (!request.title.empty())
        args.insert(args.end(), {"--title", request.title});
    }
    else
    {
      args.push_back("--color-selection");
      if (!request.title.empty())
        args.push_back("--title=" + request.title);
      if (!request.color.empty())
        args.push_back("--color=" + request.color);
    }
    return args;
  }
  if (program == "kdialog")
  {
    switch (request.kind)
    {
    case EChooserKind::OpenFile: args.push_back("--getopenfilename"); break;
    case EChooserKind::SaveFile: args.push_back("--getsavefilename"); break;
    case EChooserKind::Directory: args.push_back("--getexistingdirectory"); break;
    case EChooserKind::Color:
    case EChooserKind::Message: break; // answered above
    }
    args.push_back(start.empty() ? "." : start);
    if (request.kind != EChooserKind::Directory && !patterns.empty())
      args.push_back(Join(patterns));
    if (!request.title.empty())
      args.insert(args.end(), {"--title", request.title});
    return args;
  }
  args.push_back("--file-selection");
  if (request.kind == EChooserKind::SaveFile)
    args.insert(args.end(), {"--save", "--confirm-overwrite"}); // kdialog's save dialog asks by itself
  if (request.kind == EChooserKind::Directory)
    args.push_back("--directory");
  if (!request.title.empty())
    args.push_back("--title=" + request.title);
  if (!start.empty())
    args.push_back("--filename=" + start);
  if (request.kind != EChooserKind::Directory && !patterns.empty())
    args.push_back("--file-filter=" + Join(patterns));
  return args;
}

bool ExternalChooser::Start(const ChooserRequest& request, Completion completion)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (IsOpen() || mLoop == nullptr || !completion)
    return false;
  mCompletion = std::move(completion);
  mKind = request.kind;
  mOutput.clear();
  mProgram = FindProgram();
  if (!mProgram.empty() && mProcess.Start(Arguments(mProgram, request), true))
  {
    // A loop that takes no descriptors still runs timers: read the pipe from one instead.
    if (!mWatch.Start(mLoop, mProcess.OutputFD(), [this](int) { OnOutput(); }) &&
        !mPoll.Start(mLoop, kPollIntervalMs, [this] { OnOutput(); }))
    {
      mProcess.Terminate();
      mCompletion = nullptr;
      return false;
    }
    return true;
  }
  {
    // Answer from the loop, as a chooser would: the caller never sees its completion inside Start.
    if (!mDeferred.Start(mLoop, 1, [this] {
          ChooserAnswer answer;
          answer.message = kNoChooserMessage;
          Complete(std::move(answer));
        }))
    {
      mCompletion = nullptr;
      return false;
    }
  }
  return true;
}

void ExternalChooser::OnOutput()
{
  if (mProcess.ReadAvailable(mOutput))
    return; // more to come
  if (mKind == EChooserKind::Message)
  {
    OnMessageClosed();
    return;
  }
  const int status = mProcess.Release();
  ChooserAnswer answer;
  std::string path = mOutput;
  while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
    path.pop_back();
  // A cancelled chooser prints nothing and exits 1; anything but one line (an absolute path for
  // files and folders) is no answer.
  const bool oneLine = status <= 0 && !path.empty() && path.find('\n') == std::string::npos;
  const bool chosen = oneLine && (mKind == EChooserKind::Color || path.front() == '/');
  if (chosen)
  {
    answer.cancelled = false;
    answer.path = std::move(path);
  }
  Complete(std::move(answer));
}

void ExternalChooser::OnMessageClosed()
{
  // The button is told by the exit status, which can lag a moment behind the closed output: wait
  // for it from a timer rather than block.
  mWatch.Stop();
  const int status = mProcess.TryWait();
  if (status < 0)
  {
    if (!mPoll.IsRunning() && !mPoll.Start(mLoop, kPollIntervalMs, [this] { OnMessageClosed(); }))
      Complete(ChooserAnswer{});
    return;
  }
  mProcess.Release();
  std::string output = mOutput;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
    output.pop_back();
  ChooserAnswer answer;
  answer.cancelled = false;
  if (status == 0)
    answer.button = 0;
  else if (mProgram == "kdialog" ? status == 1 : output == "No")
    answer.button = 1;
  Complete(std::move(answer));
}

void ExternalChooser::Complete(ChooserAnswer answer)
{
  mWatch.Stop();
  mPoll.Stop();
  mDeferred.Stop();
  Completion completion = std::move(mCompletion);
  mCompletion = nullptr;
  if (completion)
    completion(answer); // may start the next chooser
}

void ExternalChooser::Cancel()
{
  mWatch.Stop();
  mPoll.Stop();
  mDeferred.Stop();
  mProcess.Terminate();
  mCompletion = nullptr;
}

} // namespace plugkit::gfx
