#include "IGfx/Controls/ITextEntryControl.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IGfx/IPopupMenu.h"
#include "IPlugin/IPluginParameter.h"

// The engine's key codes: bit 31 a virtual key, 30 shift, 29 control, 28 alt; the low bits the virtual
// key code or the character.
namespace plugkit::gfx::textkeys {
constexpr uint32_t kVirtual = 0x80000000u;
constexpr uint32_t kShift = 0x40000000u;
constexpr uint32_t kControl = 0x20000000u;
constexpr uint32_t kAlt = 0x10000000u;
constexpr uint32_t kCharMask = 0x0FFFFFFFu;
} // namespace plugkit::gfx::textkeys

#define STB_TEXTEDIT_CHARTYPE char16_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_KEYTYPE uint32_t
#define STB_TEXTEDIT_UNDOSTATECOUNT 99
#define STB_TEXTEDIT_UNDOCHARCOUNT 999
#define STB_TEXTEDIT_STRING plugkit::gfx::ITextEntryControl
#define STB_TEXTEDIT_STRINGLEN(tc) plugkit::gfx::TextEntryEngine::GetLength(tc)
#define STB_TEXTEDIT_LAYOUTROW(r, tc, n) plugkit::gfx::TextEntryEngine::Layout(r, tc, n)
#define STB_TEXTEDIT_GETWIDTH(tc, n, i) plugkit::gfx::TextEntryEngine::GetCharWidth(tc, n, i)
#define STB_TEXTEDIT_KEYTOTEXT(key)                                                                                    \
  (((key) & (plugkit::gfx::textkeys::kVirtual | plugkit::gfx::textkeys::kControl))                                     \
     ? -1                                                                                                              \
     : static_cast<int>((key)&plugkit::gfx::textkeys::kCharMask))
#define STB_TEXTEDIT_GETCHAR(tc, i) plugkit::gfx::TextEntryEngine::GetChar(tc, i)
#define STB_TEXTEDIT_NEWLINE u'\n'
#define STB_TEXTEDIT_IS_SPACE(ch) ((ch) == u' ' || (ch) == u'\t')
#define STB_TEXTEDIT_DELETECHARS(tc, i, n) plugkit::gfx::TextEntryEngine::DeleteChars(tc, i, n)
#define STB_TEXTEDIT_INSERTCHARS(tc, i, c, n) plugkit::gfx::TextEntryEngine::InsertChars(tc, i, c, n)
#define STB_TEXTEDIT_K_SHIFT plugkit::gfx::textkeys::kShift
#define STB_TEXTEDIT_K_LEFT 0x80000025u
#define STB_TEXTEDIT_K_RIGHT 0x80000027u
#define STB_TEXTEDIT_K_UP 0x80000026u
#define STB_TEXTEDIT_K_DOWN 0x80000028u
#define STB_TEXTEDIT_K_LINESTART 0x80000024u
#define STB_TEXTEDIT_K_LINEEND 0x80000023u
#define STB_TEXTEDIT_K_PGUP 0x80000021u
#define STB_TEXTEDIT_K_PGDOWN 0x80000022u
#define STB_TEXTEDIT_K_WORDLEFT (STB_TEXTEDIT_K_LEFT | plugkit::gfx::textkeys::kControl)
#define STB_TEXTEDIT_K_WORDRIGHT (STB_TEXTEDIT_K_RIGHT | plugkit::gfx::textkeys::kControl)
#define STB_TEXTEDIT_K_TEXTSTART (STB_TEXTEDIT_K_LINESTART | plugkit::gfx::textkeys::kControl)
#define STB_TEXTEDIT_K_TEXTEND (STB_TEXTEDIT_K_LINEEND | plugkit::gfx::textkeys::kControl)
#define STB_TEXTEDIT_K_DELETE 0x8000002Eu
#define STB_TEXTEDIT_K_BACKSPACE 0x80000008u
#define STB_TEXTEDIT_K_UNDO 0x2000007Au
#define STB_TEXTEDIT_K_REDO 0x6000007Au

#include "stb/stb_textedit.h"

namespace plugkit::gfx {

// The callbacks the editing engine calls.
struct TextEntryEngine
{
  static int GetLength(ITextEntryControl* c) { return static_cast<int>(c->mEditString.size()); }
  static char16_t GetChar(ITextEntryControl* c, int i)
  {
    return i >= 0 && i < GetLength(c) ? c->mEditString[static_cast<size_t>(i)] : u'\0';
  }
  static float GetCharWidth(ITextEntryControl* c, int, int i)
  {
    c->FillCharWidthCache();
    return i >= 0 && i < static_cast<int>(c->mCharWidths.size()) ? c->mCharWidths[static_cast<size_t>(i)] : 0.f;
  }
  static void Layout(StbTexteditRow* row, ITextEntryControl* c, int)
  {
    c->FillCharWidthCache();
    float w = 0.f;
    for (float cw : c->mCharWidths)
      w += cw;
    const IRECT& r = c->mRECT;
    const float s = c->mText.mSize;
    row->num_chars = GetLength(c);
    row->baseline_y_delta = 1.25f;
    row->x0 = r.L;
    row->ymin = 0.f;
    switch (c->mText.mAlign)
    {
    case EAlign::Near: break;
    case EAlign::Center: row->x0 = r.MW() - w / 2.f; break;
    case EAlign::Far: row->x0 = r.R - w; break;
    }
    row->x1 = row->x0 + w;
    switch (c->mText.mVAlign)
    {
    case EVAlign::Top: break;
    case EVAlign::Middle: row->ymin = r.H() / 2.f - s / 2.f; break;
    case EVAlign::Bottom: row->ymin = r.H() - s; break;
    }
    row->ymax = row->ymin + s;
  }
  static bool InsertChars(ITextEntryControl* c, int pos, const char16_t* chars, int n)
  {
    pos = std::clamp(pos, 0, GetLength(c));
    c->mEditString.insert(static_cast<size_t>(pos), chars, static_cast<size_t>(std::max(n, 0)));
    c->OnTextChange();
    return true;
  }
  // Only positions within the text are touched, whatever an undo record asks.
  static bool DeleteChars(ITextEntryControl* c, int pos, int n)
  {
    const int len = GetLength(c);
    if (pos < 0 || pos > len)
      return true;
    n = n < 0 ? len - pos : std::min(n, len - pos);
    c->mEditString.erase(static_cast<size_t>(pos), static_cast<size_t>(n));
    c->OnTextChange();
    return true;
  }
};

} // namespace plugkit::gfx

#define STB_TEXTEDIT_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include "stb/stb_textedit.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace plugkit::gfx {

namespace {

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUTF8(std::string& out, char32_t c)
{
  if (c < 0x80)
    out += static_cast<char>(c);
  else if (c < 0x800)
  {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  else if (c < 0x10000)
  {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  else
  {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one character at s[i], advancing i; malformed bytes give U+FFFD.
char32_t DecodeUTF8(const char* s, size_t len, size_t& i)
{
  const auto b0 = static_cast<unsigned char>(s[i]);
  int extra = b0 < 0x80 ? 0 : (b0 >> 5) == 0x6 ? 1 : (b0 >> 4) == 0xE ? 2 : (b0 >> 3) == 0x1E ? 3 : -1;
  if (extra < 0)
  {
    ++i;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? b0 : (b0 & (0x3F >> extra));
  size_t j = i + 1;
  for (int k = 0; k < extra; ++k, ++j)
  {
    if (j >= len || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80)
    {
      i = j;
      return 0xFFFD;
    }
    c = (c << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
  }
  i = j;
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    return 0xFFFD;
  return c;
}

std::u16string ToUTF16(const char* s)
{
  std::u16string out;
  if (!s)
    return out;
  const size_t len = std::strlen(s);
  for (size_t i = 0; i < len;)
  {
    const char32_t c = DecodeUTF8(s, len, i);
    if (c >= 0x10000)
    {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    else
      out += static_cast<char16_t>(c);
  }
  return out;
}

// A lone surrogate becomes U+FFFD so no malformed text leaves the field.
std::string ToUTF8(const char16_t* s, size_t n)
{
  std::string out;
  for (size_t i = 0; i < n; ++i)
  {
    const char16_t u = s[i];
    if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(s[i + 1]))
    {
      AppendUTF8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    }
    else if (IsHighSurrogate(u) || IsLowSurrogate(u))
      AppendUTF8(out, 0xFFFD);
    else
      AppendUTF8(out, u);
  }
  return out;
}

// Whether the engine key, applied to a field in state before with text, acted on one half of a
// surrogate pair.
bool SplitsPairAt(uint32_t code, const STB_TexteditState& before, const std::u16string& text)
{
  const uint32_t vk = code & 0xFFu;
  const bool virt = code & 0x80000000u;
  const bool ctrl = code & 0x20000000u;
  if (!virt || ctrl)
    return false;
  const bool selection = before.select_start != before.select_end;
  const int c = before.cursor;
  const int n = static_cast<int>(text.size());
  const bool pairBehind = c >= 2 && c <= n && IsLowSurrogate(text[static_cast<size_t>(c - 1)]) &&
                          IsHighSurrogate(text[static_cast<size_t>(c - 2)]);
  const bool pairAhead = c >= 0 && c + 1 < n && IsHighSurrogate(text[static_cast<size_t>(c)]) &&
                         IsLowSurrogate(text[static_cast<size_t>(c + 1)]);
  const bool shift = code & 0x40000000u;
  switch (vk)
  {
  case 0x08: return !selection && pairBehind;
  case 0x2E: return !selection && pairAhead;
  case 0x25: return (shift || !selection) && pairBehind;
  case 0x27: return (shift || !selection) && pairAhead;
  default: return false;
  }
}

IPopupMenu& EditMenu()
{
  // Made on first use and kept for the life of the module.
  static IPopupMenu menu("", {"Cut", "Copy", "Paste"}, nullptr);
  return menu;
}

} // namespace

struct ITextEntryControl::EditState
{
  STB_TexteditState state;
};

//------------------------------------------------------------------------------------------------

ITextEntryControl::ITextEntryControl()
  : ITextEntryControlBase(IRECT(), -1)
  , mEditState(std::make_unique<EditState>())
{
  stb_textedit_initialize_state(&mEditState->state, 1);
  SetActionFunction([](IControl* caller) {
    auto* self = static_cast<ITextEntryControl*>(caller);
    self->mDrawCursor = true;
    self->SetAnimation(
      [](IControl* c) {
        auto* te = static_cast<ITextEntryControl*>(c);
        const double p = te->GetAnimationProgress();
        if (p > 0.5 && te->mDrawCursor)
        {
          te->mDrawCursor = false;
          te->SetDirty(false);
        }
        if (p > 1.)
          te->OnEndAnimation();
      },
      1000.);
  });
}

ITextEntryControl::~ITextEntryControl() = default;

std::string ITextEntryControl::GetStr() const { return ToUTF8(mEditString.data(), mEditString.size()); }
int ITextEntryControl::GetCursor() const { return mEditState->state.cursor; }
int ITextEntryControl::GetSelectionStart() const { return mEditState->state.select_start; }
int ITextEntryControl::GetSelectionEnd() const { return mEditState->state.select_end; }

void ITextEntryControl::CreateTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int, const char* str)
{
  mParamIdx = paramIdx;
  mRECT = mTargetRECT = bounds;
  mMouseIsOver = false;
  OnResize();
  SetText(text);
  mText.mFGColor = mText.mTextEntryFGColor;
  mCharWidths.clear();
  mEditString = ToUTF16(str);
  // Each opening starts a fresh history: no undo record may point into the previous text.
  stb_textedit_initialize_state(&mEditState->state, 1);
  SelectAll();
  mEditState->state.cursor = 0;
  OnTextChange();
  SetDirty(true);
  mEditing = true;
}

void ITextEntryControl::OnTextChange()
{
  mCharWidths.clear();
  FillCharWidthCache();
}

float ITextEntryControl::MeasureCharWidth(char32_t c, char32_t previous)
{
  IGfx* g = GetUI();
  if (!g)
    return 0.f;
  std::string one;
  AppendUTF8(one, c);
  IRECT r;
  if (previous == 0)
    return g->MeasureText(mText, one.c_str(), r);
  std::string prev;
  AppendUTF8(prev, previous);
  const float pair = g->MeasureText(mText, (prev + one).c_str(), r);
  return pair - g->MeasureText(mText, prev.c_str(), r);
}

void ITextEntryControl::FillCharWidthCache()
{
  if (!mCharWidths.empty() || mEditString.empty())
    return;
  const size_t n = mEditString.size();
  mCharWidths.assign(n, 0.f);
  char32_t previous = 0;
  for (size_t i = 0; i < n; ++i)
  {
    const char16_t u = mEditString[i];
    char32_t c = u;
    // A surrogate pair is measured as its character, all of it on the first half.
    if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(mEditString[i + 1]))
      c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (mEditString[i + 1] - 0xDC00);
    else if (IsHighSurrogate(u) || IsLowSurrogate(u))
      c = 0xFFFD;
    mCharWidths[i] = MeasureCharWidth(c, previous);
    previous = c;
    if (c >= 0x10000)
      ++i;
  }
}

float ITextEntryControl::CharStartX(int i)
{
  StbTexteditRow row;
  TextEntryEngine::Layout(&row, this, 0);
  float x = row.x0;
  for (int k = 0; k < i && k < static_cast<int>(mCharWidths.size()); ++k)
    x += mCharWidths[static_cast<size_t>(k)];
  return x;
}

void ITextEntryControl::Draw(IGfx& g)
{
  g.FillRect(mText.mTextEntryBGColor, mRECT);
  StbTexteditRow row;
  TextEntryEngine::Layout(&row, this, 0);
  const float s = mText.mSize;
  const float top = mRECT.T + row.ymin + 0.1f * s;
  const float bottom = mRECT.T + row.ymax - 0.1f * s;
  const STB_TexteditState& st = mEditState->state;
  if (st.select_start != st.select_end)
  {
    const float x0 = CharStartX(std::min(st.select_start, st.select_end));
    const float x1 = CharStartX(std::max(st.select_start, st.select_end));
    const IBlend blend(EBlend::Default, 0.2f);
    g.FillRect(mText.mTextEntryFGColor, IRECT(x0, top, x1, bottom), &blend);
  }
  g.DrawText(mText, GetStr().c_str(), mRECT);
  if (st.select_start == st.select_end && mDrawCursor)
  {
    const float c = CharStartX(st.cursor);
    g.FillRect(mText.mTextEntryFGColor, IRECT(std::round(c - 1.f), top, std::round(c), bottom));
  }
}

void ITextEntryControl::OnEndAnimation()
{
  if (mEditing)
    SetDirty(true);
  else
    mAnimationFunc = nullptr; // a closed field stops blinking, so the editor can go idle
}

//------------------------------------------------------------------------------------------------
// Mouse

void ITextEntryControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (!mEditing)
    return;
  if (!mRECT.Contains(x, y))
  {
    CommitEdit();
    return;
  }
  if (mod.L)
  {
    const STB_TexteditState before = mEditState->state;
    StbTexteditRow row;
    TextEntryEngine::Layout(&row, this, 0);
    stb_textedit_click(this, &mEditState->state, x, row.ymin);
    if (std::memcmp(&before, &mEditState->state, sizeof(before)) != 0)
      OnStateChanged();
  }
  else if (mod.R && GetUI())
  {
    GetUI()->CreatePopupMenu(*this, EditMenu(), IRECT(x, y, x, y));
  }
}

void ITextEntryControl::OnMouseDrag(float x, float, float, float, const IMouseMod& mod)
{
  if (!mEditing || !mod.L)
    return;
  const STB_TexteditState before = mEditState->state;
  StbTexteditRow row;
  TextEntryEngine::Layout(&row, this, 0);
  stb_textedit_drag(this, &mEditState->state, x, row.ymin);
  if (std::memcmp(&before, &mEditState->state, sizeof(before)) != 0)
    OnStateChanged();
}

void ITextEntryControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  if (!mEditing || !mod.L)
    return;
  OnMouseDrag(x, y, 0.f, 0.f, mod);
  SetDirty(true);
}

void ITextEntryControl::OnMouseDblClick(float, float, const IMouseMod&)
{
  if (!mEditing)
    return;
  const int cursor = mEditState->state.cursor;
  SelectAll();
  mEditState->state.cursor = cursor;
}

void ITextEntryControl::OnPopupMenuSelection(IPopupMenu* menu, int)
{
  if (!menu || !mEditing)
    return;
  switch (menu->GetChosenItemIdx())
  {
  case 0: Cut(); break;
  case 1: CopySelection(); break;
  case 2: Paste(); break;
  default: break;
  }
}

//------------------------------------------------------------------------------------------------
// Keys

bool ITextEntryControl::OnKeyDown(float, float, const IKeyPress& key)
{
  using namespace textkeys;
  STB_TexteditState& st = mEditState->state;
  const STB_TexteditState before = st;
  const std::u16string textBefore = mEditString;
  auto changed = [&]() { return std::memcmp(&before, &st, sizeof(before)) != 0 || textBefore != mEditString; };

  if (key.C && key.VK >= 65 && key.VK <= 90)
  {
    bool used = true;
    switch (key.VK)
    {
    case 65: SelectAll(); break;
    case 67: CopySelection(); break;
    case 86: Paste(); break;
    case 88: Cut(); break;
    case 90: stb_textedit_key(this, &st, key.S ? STB_TEXTEDIT_K_REDO : STB_TEXTEDIT_K_UNDO); break;
    default: used = false; break;
    }
    if (used)
    {
      if (changed())
        OnStateChanged();
      return true;
    }
  }

  char32_t c = 0;
  if (key.utf8[0])
  {
    size_t i = 0;
    c = DecodeUTF8(key.utf8, std::strlen(key.utf8), i);
  }

  uint32_t code = 0;
  switch (key.VK)
  {
  case 8:
  case 33:
  case 34:
  case 35:
  case 36:
  case 37:
  case 38:
  case 39:
  case 40:
  case 46: code = kVirtual | static_cast<uint32_t>(key.VK); break;
  case 9: return false;
  case 13: CommitEdit(); return true;
  case 27: DismissEdit(); return true;
  case 32: code = 32; break;
  default:
  {
    IGfx* g = GetUI();
    if (!g || !g->GetControlInTextEntry())
      return false;
    // A keypad digit always types its digit, whatever text the platform attached.
    const bool keypadDigit = key.VK >= 96 && key.VK <= 105;
    if (keypadDigit)
      c = U'0' + static_cast<char32_t>(key.VK - 96);
    const IParam* param = mParamIdx >= 0 && GetDelegate() ? GetDelegate()->GetParam(mParamIdx) : nullptr;
    bool take = true;
    if (param)
    {
      const IParam::EParamType type = param->Type();
      const bool integral = type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
      const bool real = type == IParam::kTypeDouble;
      if (integral || real)
      {
        const bool digitKey = key.VK >= 48 && key.VK <= 57 && !key.S;
        const bool sign = c == U'+' || c == U'-' || (real && c == U'.');
        take = digitKey || keypadDigit || sign;
      }
    }
    code = take && c != 0 ? static_cast<uint32_t>(c) : (kVirtual | static_cast<uint32_t>(key.VK));
    break;
  }
  }

  if (key.S)
    code |= kShift;
  if (key.C)
    code |= kControl;
  if (key.A)
    code |= kAlt;

  const uint32_t ch = code & kCharMask;
  if (!(code & (kVirtual | kControl)) && ch >= 0x10000)
  {
    // Beyond 16 bits: the engine takes one unit per key, so the pair goes in as a paste.
    char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)),
                        static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF))};
    stb_textedit_paste(this, &st, pair, 2);
  }
  else
  {
    stb_textedit_key(this, &st, code);
    // Deleting or stepping over half of a surrogate pair takes the other half along.
    if (SplitsPairAt(code, before, textBefore))
      stb_textedit_key(this, &st, code);
  }

  if (!changed())
    return false;
  OnStateChanged();
  return true;
}

//------------------------------------------------------------------------------------------------
// Clipboard and selection

void ITextEntryControl::SelectAll()
{
  STB_TexteditState& st = mEditState->state;
  const int len = static_cast<int>(mEditString.size());
  if (st.select_start != 0 || st.select_end != len)
  {
    st.select_start = 0;
    st.select_end = len;
    OnStateChanged();
  }
}

void ITextEntryControl::CopySelection()
{
  const STB_TexteditState& st = mEditState->state;
  if (st.select_start == st.select_end || !GetUI())
    return;
  const int len = static_cast<int>(mEditString.size());
  const int a = std::clamp(std::min(st.select_start, st.select_end), 0, len);
  const int b = std::clamp(std::max(st.select_start, st.select_end), 0, len);
  GetUI()->SetTextInClipboard(ToUTF8(mEditString.data() + a, static_cast<size_t>(b - a)).c_str());
}

void ITextEntryControl::Cut()
{
  STB_TexteditState& st = mEditState->state;
  if (st.select_start == st.select_end)
    return;
  CopySelection();
  const STB_TexteditState before = st;
  stb_textedit_cut(this, &st);
  st.has_preferred_x = 0;
  if (std::memcmp(&before, &st, sizeof(before)) != 0)
    OnStateChanged();
}

void ITextEntryControl::Paste()
{
  TextString clip;
  if (!GetUI() || !GetUI()->GetTextFromClipboard(clip))
    return;
  std::u16string units = ToUTF16(clip.Get());
  if (units.empty())
    return;
  STB_TexteditState& st = mEditState->state;
  const STB_TexteditState before = st;
  const int len = static_cast<int>(mEditString.size());
  st.select_start = std::clamp(st.select_start, 0, len);
  st.select_end = std::clamp(st.select_end, 0, len);
  st.cursor = std::clamp(st.cursor, 0, len);
  stb_textedit_paste(this, &st, units.data(), static_cast<int>(units.size()));
  st.has_preferred_x = 0;
  if (std::memcmp(&before, &st, sizeof(before)) != 0)
    OnStateChanged();
}

void ITextEntryControl::SetStr(const char* str)
{
  mEditString = ToUTF16(str);
  mCharWidths.clear();
}

//------------------------------------------------------------------------------------------------
// Ending

void ITextEntryControl::EndEdit()
{
  mEditing = false;
  mMouseIsOver = false;
  mRECT = mTargetRECT = IRECT();
  OnResize();
}

void ITextEntryControl::CommitEdit()
{
  if (!mEditing)
    return;
  mEditing = false;
  IGfx* g = GetUI();
  if (g)
    g->SetControlValueAfterTextEdit(GetStr().c_str());
  EndEdit();
  if (g)
    g->SetAllControlsDirty();
}

void ITextEntryControl::DismissEdit()
{
  if (!mEditing)
    return;
  EndEdit();
  if (IGfx* g = GetUI())
  {
    g->ClearControlInTextEntry();
    g->SetAllControlsDirty();
  }
}

//------------------------------------------------------------------------------------------------

void IGfx::AttachTextEntryControl() { AttachTextEntryControl(new ITextEntryControl()); }

} // namespace plugkit::gfx
