#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {

EditorSession::EditorSession(int nParams, int w, int h, float scale, IGEditorDelegate::LayoutFunc layout)
  : handler(new FakeComponentHandler())
  , view(new FakePlugView())
  , dlg(nParams)
{
  dlg.handler = handler;
  dlg.view = view;
  dlg.UseHeadlessEditor(platform, recorder, w, h, scale);
  if (layout)
    dlg.SetLayoutFunc(std::move(layout));
  dlg.OpenWindow(nullptr);
  mInput = std::make_unique<InputDriver>(G());
}

EditorSession::~EditorSession()
{
  dlg.CloseWindow();
  view->release();
  handler->release();
}

void EditorSession::Reopen()
{
  mInput.reset();
  dlg.CloseWindow();
  dlg.OpenWindow(nullptr);
  mInput = std::make_unique<InputDriver>(G());
}

} // namespace plugkit::gfx::test
