#include "tests/editor_e2e/xdo_driver.h"

#include <cmath>

#include "tests/IGfx/Platforms/x11_test_support.h"

namespace vemlor::e2e {

std::vector<std::string> XdoDriver::moveArgs(float x, float y) const
{
  return {"mousemove", "--window", std::to_string(window), std::to_string(std::lround(x * scale)),
          std::to_string(std::lround(y * scale))};
}

bool XdoDriver::run(std::vector<std::string> args)
{
  args.insert(args.begin(), "xdotool");
  // A busy server can refuse the tool's connection for a moment; it then exits with 1.
  int status = 1;
  for (int attempt = 0; attempt < 3 && status == 1; ++attempt)
    status = x11test::RunTool(args);
  return status == 0;
}

bool XdoDriver::move(float x, float y) { return run(moveArgs(x, y)); }

bool XdoDriver::click(float x, float y, int button)
{
  std::vector<std::string> args = moveArgs(x, y);
  args.insert(args.end(), {"click", std::to_string(button)});
  return run(args);
}

bool XdoDriver::press(float x, float y, int button)
{
  std::vector<std::string> args = moveArgs(x, y);
  args.insert(args.end(), {"mousedown", std::to_string(button)});
  return run(args);
}

bool XdoDriver::release(int button) { return run({"mouseup", std::to_string(button)}); }

bool XdoDriver::drag(float fromX, float fromY, float toX, float toY, int steps, int button)
{
  if (!press(fromX, fromY, button))
    return false;
  pump();
  for (int i = 1; i <= steps; ++i)
  {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    if (!move(fromX + (toX - fromX) * t, fromY + (toY - fromY) * t))
      return false;
    pump();
  }
  const bool released = release(button);
  pump();
  return released;
}

bool XdoDriver::key(const std::string& keys) { return run({"key", keys}); }

} // namespace vemlor::e2e
