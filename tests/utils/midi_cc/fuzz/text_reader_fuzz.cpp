// Random text into the controller map's file reader: no crash, and text that holds no "midi-cc"
// section leaves the live map as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/utils/midi_cc/fakes.h"
#include "utils/editor_services.h"
#include "utils/midi_cc/cc_file_orchestrator.h"
#include "utils/midi_cc/cc_mediator.h"

namespace {

struct ClipboardOnly final : zarvo::IEditorServices
{
  bool getClipboardText(std::string& out) override
  {
    out = text;
    return true;
  }
  bool setClipboardText(const std::string&) override { return false; }
  void promptForFile(const std::string&, const std::string&, EFileAction, const std::string&, FileCompletion) override
  {}
  void reportFileResult(plugkit::EFileResult, EFileContent) override {}

  std::string text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  using namespace zarvo::midi_cc;
  midi_cc_test::FakePlugin owner;
  owner.editorOpen = false;
  CCMediator mediator(owner);
  Mapper& map = mediator.mapper();
  const MappingTable live{{9, {{4, 9, 0.25, 0.75, 3}}}};
  map.replaceMappings(live);
  // The first byte may put the random lines under a controller map header, so that they reach the
  // line reader rather than stop at the header check.
  ClipboardOnly clipboard;
  CCFileOrchestrator files(mediator, clipboard, "Vemlor", "1.3.0", nullptr, nullptr, "ccmap.zarvo");
  if (size > 0 && (data[0] & 1))
    clipboard.text = "# zarvo v1\n[midi-cc]\n";
  if (size > 0)
    clipboard.text.append(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool hasMap = files.clipboardHasCC();
  files._paste();

  if (!hasMap && map.mappings() != live)
    std::abort();
  for (const auto& [cc, list] : map.mappings())
  {
    for (const ParamCCMapping& m : list)
    {
      if (cc < 0 || cc > 127 || m.cc != cc || m.paramId < 0)
        std::abort();
    }
  }
  return 0;
}
