// The in-editor one-line text field, for platforms without a native one: prompts for a text value
// open it over the requested rectangle, and the committed text goes back through the context's text
// completion. Editing (cursor, selection, undo) is stb_textedit's, on UTF-16 text. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IGfx/ISpecialControls.h"

namespace plugkit::gfx {

struct TextEntryEngine;

class ITextEntryControl : public ITextEntryControlBase
{
public:
  ITextEntryControl();
  ~ITextEntryControl() override;

  //---ITextEntryControlBase
  bool GetEditing() const override { return mEditing; }
  // Opens over bounds with str, all selected; paramIdx picks the character filter. No length limit.
  void CreateTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length, const char* str) override;

  //---IControl
  void Draw(IGfx& g) override;
  // A press outside the field commits; a right click offers Cut, Copy and Paste.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnEndAnimation() override;
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override;

  void CommitEdit();
  void DismissEdit();
  void SelectAll();
  void CopySelection();
  void Cut();
  void Paste();
  // Replaces the text; cursor and selection stay.
  void SetStr(const char* str);

  //---State, for tests
  std::string GetStr() const;
  int GetCursor() const;
  int GetSelectionStart() const;
  int GetSelectionEnd() const;
  bool GetDrawCursor() const { return mDrawCursor; }

private:
  friend struct TextEntryEngine;
  struct EditState;

  void OnStateChanged() { SetDirty(false); }
  void OnTextChange();
  void FillCharWidthCache();
  float MeasureCharWidth(char32_t c, char32_t previous);
  // The x position of the gap before unit i.
  float CharStartX(int i);
  void EndEdit();

  bool mDrawCursor = false;
  bool mEditing = false;
  int mParamIdx = -1;
  std::unique_ptr<EditState> mEditState;
  std::vector<float> mCharWidths;
  std::u16string mEditString;
};

} // namespace plugkit::gfx
