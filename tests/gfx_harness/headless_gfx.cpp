#include "tests/gfx_harness/headless_gfx.h"

#include <cctype>
#include <cstring>

#include "IGfx/IGfxEditorDelegate.h"

namespace plugkit::gfx::test {

HeadlessGfx::HeadlessGfx(IGEditorDelegate& dlg, HeadlessPlatform& platform, DrawRecorder& recorder, int w, int h,
                         int fps, float scale)
  : IGfx(dlg, w, h, fps, scale)
  , mPlatform(platform)
  , mRecorder(recorder)
{}

HeadlessGfx::~HeadlessGfx() = default;

bool HeadlessGfx::Tick()
{
  IRECTList rects;
  if (!IsDirty(rects))
    return false;
  SetAllControlsClean();
  Draw(rects);
  return true;
}

bool HeadlessGfx::CompletePendingPopup()
{
  if (!mPendingPopup)
    return false;
  IPopupMenu* menu = std::exchange(mPendingPopup, nullptr);
  SetControlValueAfterPopupMenu(menu->GetChosenItemIdx() > -1 ? menu : nullptr);
  return true;
}

void HeadlessGfx::Record(const char* op, std::vector<float> args, const IRECT& rect, const IBlend* blend)
{
  DrawCall call;
  call.op = op;
  call.args = std::move(args);
  call.rect = rect;
  if (blend)
  {
    call.hasBlend = true;
    call.blend = *blend;
  }
  mRecorder.Record(std::move(call));
}

//------------------------------------------------------------------------------------------------
// Platform

void* HeadlessGfx::OpenWindow(void*)
{
  SetOpening(true);
  mWindowOpen = true;
  SetScreenScale(mPlatform.screenScale);
  GetDelegate()->LayoutUI(this);
  GetDelegate()->OnUIOpen();
  SetOpening(false);
  return this;
}

void HeadlessGfx::CloseWindow()
{
  mWindowOpen = false;
  OnViewDestroyed();
}

void HeadlessGfx::PlatformResize(bool parentHasResized) { mPlatform.platformResizes.push_back(parentHasResized); }

void HeadlessGfx::GetMouseLocation(float& x, float& y) const
{
  x = mPlatform.mouseX;
  y = mPlatform.mouseY;
}

void HeadlessGfx::HideMouseCursor(bool hide, bool lock)
{
  mPlatform.cursorHides.emplace_back(hide, lock);
  SetCursorHiddenState(hide, hide && lock, mPlatform.mouseX, mPlatform.mouseY);
}

void HeadlessGfx::MoveMouseCursor(float x, float y)
{
  mPlatform.mouseX = x;
  mPlatform.mouseY = y;
}

ECursor HeadlessGfx::SetMouseCursor(ECursor cursor)
{
  const ECursor previous = mPlatform.cursorsSet.empty() ? ECursor::ARROW : mPlatform.cursorsSet.back();
  mPlatform.cursorsSet.push_back(cursor);
  return previous;
}

void HeadlessGfx::CreatePlatformTextEntry(int paramIdx, const IText&, const IRECT& bounds, int length, const char* str)
{
  mPlatform.textEntries.push_back({paramIdx, bounds, length, str ? str : ""});
  if (!mPlatform.textEntryAnswers.empty())
  {
    const std::string answer = mPlatform.textEntryAnswers.front();
    mPlatform.textEntryAnswers.pop_front();
    SetControlValueAfterTextEdit(answer.c_str());
  }
}

IPopupMenu* HeadlessGfx::CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync)
{
  HeadlessPlatform::MenuRequest request{menu.GetRootTitle(), {}, {}, bounds};
  for (int i = 0; i < menu.NItems(); ++i)
  {
    request.items.emplace_back(menu.GetItem(i)->GetText());
    request.flags.push_back(menu.GetItem(i)->GetFlags());
  }
  mPlatform.menusShown.push_back(std::move(request));

  HeadlessPlatform::PopupAnswer answer;
  if (!mPlatform.popupAnswers.empty())
  {
    answer = mPlatform.popupAnswers.front();
    mPlatform.popupAnswers.pop_front();
  }
  menu.SetChosenItemIdx(answer.chosen);
  isAsync = answer.async;
  if (answer.async)
  {
    mPendingPopup = &menu;
    return nullptr;
  }
  return answer.chosen > -1 ? &menu : nullptr;
}

EMsgBoxResult HeadlessGfx::ShowMessageBox(const char* str, const char* caption, EMsgBoxType,
                                          IMsgBoxCompletionHandlerFunc completion)
{
  ReleaseMouseCapture();
  mPlatform.msgBoxes.push_back(std::string(caption ? caption : "") + ": " + (str ? str : ""));
  EMsgBoxResult result = EMsgBoxResult::OK;
  if (!mPlatform.msgBoxAnswers.empty())
  {
    result = mPlatform.msgBoxAnswers.front();
    mPlatform.msgBoxAnswers.pop_front();
  }
  if (completion)
  {
    if (mPlatform.deferDialogs)
      mPlatform.tasks.Post([completion, result] { completion(result); });
    else
      completion(result);
  }
  return result;
}

void HeadlessGfx::PromptForFile(TextString& fileName, TextString& path, EFileAction, const char* ext,
                                IFileDialogCompletionHandlerFunc completion)
{
  mPlatform.fileDialogExtensions.emplace_back(ext ? ext : "");
  mPlatform.fileDialogFolders.emplace_back(path.Get());
  std::optional<HeadlessPlatform::FileAnswer> answer;
  if (!mPlatform.fileAnswers.empty())
  {
    answer = mPlatform.fileAnswers.front();
    mPlatform.fileAnswers.pop_front();
  }
  TextString chosenFile(answer ? answer->fileName.c_str() : "");
  TextString chosenPath(answer ? answer->path.c_str() : "");
  if (!completion)
  {
    fileName = chosenFile;
    path = chosenPath;
  }
  else if (mPlatform.deferDialogs)
    mPlatform.tasks.Post([completion, chosenFile, chosenPath] { completion(chosenFile, chosenPath); });
  else
    completion(chosenFile, chosenPath);
}

void HeadlessGfx::PromptForDirectory(TextString& dir, IFileDialogCompletionHandlerFunc completion)
{
  TextString file;
  PromptForFile(file, dir, EFileAction::Open, "", std::move(completion));
}

bool HeadlessGfx::PromptForColor(IColor& color, const char*, IColorPickerHandlerFunc func)
{
  if (!mPlatform.colorAnswer)
    return false;
  color = *mPlatform.colorAnswer;
  if (func)
    func(color);
  return true;
}

bool HeadlessGfx::OpenURL(const char* url, const char*, const char*, const char*)
{
  mPlatform.openedURLs.emplace_back(url ? url : "");
  return mPlatform.openURLResult;
}

bool HeadlessGfx::RevealPathInExplorerOrFinder(TextString& path, bool)
{
  mPlatform.openedURLs.emplace_back(path.Get());
  return path.GetLength() > 0;
}

bool HeadlessGfx::GetTextFromClipboard(TextString& str)
{
  str.Set(mPlatform.clipboard ? mPlatform.clipboard->c_str() : "");
  return mPlatform.clipboard.has_value();
}

bool HeadlessGfx::SetTextInClipboard(const char* str)
{
  mPlatform.clipboard = str ? str : "";
  return true;
}

bool HeadlessGfx::SetFilePathInClipboard(const char* path) { return SetTextInClipboard(path); }

bool HeadlessGfx::InitiateExternalFileDragDrop(const char*, const IRECT&)
{
  ReleaseMouseCapture();
  return true;
}

PlatformFontPtr HeadlessGfx::LoadPlatformFont(const char*, const char*) { return nullptr; }
PlatformFontPtr HeadlessGfx::LoadPlatformFont(const char*, void*, int) { return nullptr; }
PlatformFontPtr HeadlessGfx::LoadPlatformFont(const char*, const char*, ETextStyle) { return nullptr; }
void HeadlessGfx::CachePlatformFont(const char*, const PlatformFontPtr&) {}

//------------------------------------------------------------------------------------------------
// Recording backend

void HeadlessGfx::PathClear() { Record("PathClear"); }
void HeadlessGfx::PathClose() { Record("PathClose"); }

void HeadlessGfx::PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding)
{
  Record("PathArc", {cx, cy, r, a1, a2, static_cast<float>(winding)});
}

void HeadlessGfx::PathMoveTo(float x, float y) { Record("PathMoveTo", {x, y}); }
void HeadlessGfx::PathLineTo(float x, float y) { Record("PathLineTo", {x, y}); }
void HeadlessGfx::PathSetWinding(bool clockwise) { Record("PathSetWinding", {clockwise ? 1.f : 0.f}); }

void HeadlessGfx::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  Record("PathCubicBezierTo", {c1x, c1y, c2x, c2y, x2, y2});
}

void HeadlessGfx::PathQuadraticBezierTo(float cx, float cy, float x2, float y2)
{
  Record("PathQuadraticBezierTo", {cx, cy, x2, y2});
}

void HeadlessGfx::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                             const IBlend* blend)
{
  Record("PathStroke",
         {static_cast<float>(pattern.mType), static_cast<float>(options.mCapOption),
          static_cast<float>(options.mJoinOption), static_cast<float>(options.mDash.mCount)},
         IRECT(), blend);
  DrawCall& call = mRecorder.Last();
  call.color = pattern.NStops() > 0 ? pattern.GetStop(0).mColor : IColor();
  call.thickness = thickness;
}

void HeadlessGfx::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend)
{
  Record("PathFill",
         {static_cast<float>(pattern.mType), static_cast<float>(options.mFillRule), options.mPreserve ? 1.f : 0.f},
         IRECT(), blend);
  DrawCall& call = mRecorder.Last();
  call.color = pattern.NStops() > 0 ? pattern.GetStop(0).mColor : IColor();
}

void HeadlessGfx::PathTransformSetMatrix(const IMatrix& m)
{
  Record("PathTransformSetMatrix", {static_cast<float>(m.mXX), static_cast<float>(m.mYX), static_cast<float>(m.mXY),
                                    static_cast<float>(m.mYY), static_cast<float>(m.mTX), static_cast<float>(m.mTY)});
}

void HeadlessGfx::SetClipRegion(const IRECT& r) { Record("SetClipRegion", {}, r); }

void HeadlessGfx::DrawBitmap(const IBitmap&, const IRECT& bounds, int srcX, int srcY, const IBlend* blend)
{
  Record("DrawBitmap", {static_cast<float>(srcX), static_cast<float>(srcY)}, bounds, blend);
}

void HeadlessGfx::DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend)
{
  Record("DoDrawText", {}, bounds, blend);
  DrawCall& call = mRecorder.Last();
  call.color = text.mFGColor;
  call.text = str ? str : "";
  call.font = text.mFont;
  call.fontSize = text.mSize;
}

float HeadlessGfx::DoMeasureText(const IText& text, const char* str, IRECT& bounds) const
{
  const float w = 0.5f * text.mSize * static_cast<float>(std::strlen(str ? str : ""));
  bounds = IRECT(bounds.L, bounds.T, bounds.L + w, bounds.T + text.mSize);
  return w;
}

bool HeadlessGfx::BitmapExtSupported(const char* ext)
{
  std::string e(ext ? ext : "");
  for (char& c : e)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e.find("png") != std::string::npos || e.find("jpg") != std::string::npos ||
         e.find("jpeg") != std::string::npos;
}

void HeadlessGfx::UpdateLayer() { Record("UpdateLayer"); }

void HeadlessGfx::DrawResize()
{
  ++mPlatform.drawResizes;
  Record("DrawResize");
}

void HeadlessGfx::EndFrame() { Record("EndFrame"); }
void HeadlessGfx::CompleteRegion(const IRECT& r) { Record("CompleteRegion", {}, r); }

void HeadlessGfx::BeginFrame()
{
  Record("BeginFrame");
  IGfx::BeginFrame();
}

} // namespace plugkit::gfx::test
