// One open headless editor: platform, recorder, fake host and delegate wired together.
#pragma once

#include <utility>

#include "tests/gfx_harness/draw_recorder.h"
#include "tests/gfx_harness/fake_component_handler.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/headless_platform.h"
#include "tests/gfx_harness/input_driver.h"

namespace plugkit::gfx::test {

class EditorSession
{
public:
  // Opens the editor at once (the layout function, when given, runs inside the open).
  explicit EditorSession(int nParams = 8, int w = 940, int h = 200, float scale = 1.f,
                         IGEditorDelegate::LayoutFunc layout = nullptr);
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  HeadlessGfx& G() { return *dlg.UI(); }
  InputDriver& Input() { return *mInput; }
  // Makes and attaches a control; returns it (owned by the context).
  template <class C, class... Args>
  C* Attach(Args&&... args)
  {
    auto* c = new C(std::forward<Args>(args)...);
    G().AttachControl(c);
    return c;
  }
  // Closes and reopens the editor; the input driver follows the new context.
  void Reopen();

  HeadlessPlatform platform;
  DrawRecorder recorder;
  FakeComponentHandler* handler;
  FakePlugView* view;
  FakeDelegate dlg;

private:
  std::unique_ptr<InputDriver> mInput;
};

} // namespace plugkit::gfx::test
