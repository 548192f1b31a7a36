// Random text as a pasted morph rig: no crash, and whatever is accepted ends in range.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/utils/morph/fake_morph_host.h"
#include "tests/utils/morph/fuzz/field_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace zarvo::morph;
  static morph_test::FakeMorphHost host;
  MorphController ctrl(host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes);

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size())
  {
    const size_t end = text.find('\n', start);
    lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos)
      break;
    start = end + 1;
  }

  zarvo::ZarvoFile file("Vemlor", "1.3.0");
  file.setSection(MorphController::kRigSection, std::move(lines));
  ctrl.applyRigFile(file);
  morph_fuzz::checkFieldInRange(ctrl);
  const double x = host.param(zarvo::par_morph_x).Value();
  const double y = host.param(zarvo::par_morph_y).Value();
  if (!morph_fuzz::within(x, 0.0, 1.0) || !morph_fuzz::within(y, 0.0, 1.0))
    std::abort();
  return 0;
}
