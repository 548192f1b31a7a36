#include "tests/IGfx/Platforms/x11_test_support.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <fmt/format.h>

extern char** environ;

namespace vemlor::x11test {

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Mesa unloads its driver when the last connection using GL closes, and whatever the driver still
// held then shows up as leaks from an unknown module. Keeping the software driver resident leaves
// that memory reachable, so LeakSanitizer reports only what we lose across open and close.
const bool kDriverResident = [] {
  return dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_NODELETE) != nullptr;
}();
#endif

} // namespace

bool HasDisplay()
{
  static const bool has = [] {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0')
      return false;
    Display* d = nullptr;
    for (int attempt = 0; attempt < 3 && d == nullptr; ++attempt)
      d = XOpenDisplay(nullptr);
    if (d == nullptr)
      return false;
    XCloseDisplay(d);
    return true;
  }();
  return has;
}

namespace {

std::string Buttons(const plugkit::gfx::PlatformMouse& m)
{
  std::string s = m.ms.L ? "L" : "";
  s += m.ms.R ? "R" : "";
  s += m.ms.S ? "S" : "";
  s += m.ms.C ? "C" : "";
  s += m.ms.A ? "A" : "";
  return s;
}

std::string At(const plugkit::gfx::PlatformMouse& m) { return fmt::format("{:g},{:g} {}", m.x, m.y, Buttons(m)); }

} // namespace

void RecordingListener::OnMouseDown(const plugkit::gfx::PlatformMouse& m)
{
  captured = true;
  events.push_back("down " + At(m));
}

void RecordingListener::OnMouseUp(const plugkit::gfx::PlatformMouse& m)
{
  captured = false;
  events.push_back("up " + At(m));
}

void RecordingListener::OnMouseDrag(const plugkit::gfx::PlatformMouse& m)
{
  drags.push_back(m);
  events.push_back("drag");
}

void RecordingListener::OnMouseDblClick(const plugkit::gfx::PlatformMouse& m)
{
  captured = true;
  events.push_back("dblclick " + At(m));
}

void RecordingListener::OnMouseOver(const plugkit::gfx::PlatformMouse& m) { events.push_back("over " + At(m)); }

void RecordingListener::OnMouseOut() { events.push_back("out"); }

void RecordingListener::OnMouseWheel(const plugkit::gfx::PlatformMouse& m, float delta)
{
  events.push_back(fmt::format("wheel {:+g} {}", delta, At(m)));
}

bool RecordingListener::OnKeyDown(float, float, const plugkit::IKeyPress& key)
{
  keys.push_back(key);
  events.push_back("keydown");
  return true;
}

bool RecordingListener::OnKeyUp(float, float, const plugkit::IKeyPress&)
{
  events.push_back("keyup");
  return true;
}

void RecordingListener::OnDrop(const std::string& path, float x, float y)
{
  drops.push_back({path});
  dropCalls.push_back(fmt::format("drop {:g},{:g}", x, y));
}

void RecordingListener::OnDropMultiple(const std::vector<std::string>& paths, float x, float y)
{
  drops.push_back(paths);
  dropCalls.push_back(fmt::format("multiple {:g},{:g}", x, y));
}

void RecordingListener::OnFrameTimer()
{
  ++frames;
  if (onFrame)
    onFrame();
}

std::vector<std::string> RecordingListener::withoutHover() const
{
  std::vector<std::string> out;
  for (const std::string& e : events)
    if (e.rfind("over", 0) != 0 && e != "drag")
      out.push_back(e);
  return out;
}

bool PumpUntil(vemlor::testhost::RunLoop& loop, const std::function<bool()>& done, std::initializer_list<int> fds,
               int deadlineMs)
{
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
  for (;;)
  {
    loop.pump(16);
    if (done())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::vector<pollfd> waits;
    for (int fd : fds)
      if (fd >= 0)
        waits.push_back({fd, POLLIN, 0});
    poll(waits.data(), waits.size(), 10);
  }
}

int RunTool(const std::vector<std::string>& argv)
{
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // Helpers talk on their own; the test reads only their status.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, args[0], &quiet, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0)
    return 127;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid)
    return 127;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

int RunXdotool(const std::vector<std::string>& args, unsigned long window)
{
  std::vector<std::string> argv{"xdotool"};
  for (const std::string& a : args)
    argv.push_back(a == "%w" ? std::to_string(window) : a);
  // xdotool does nothing when it cannot connect, and exits with 1.
  int status = 0;
  for (int attempt = 0; attempt < 3 && (status = RunTool(argv)) == 1; ++attempt)
  {}
  return status;
}

std::string MakeTempDir(const std::string& name)
{
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              fmt::format("vemlor-x11-{}-{}-{}", getpid(), info ? info->name() : "x", name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

} // namespace vemlor::x11test
