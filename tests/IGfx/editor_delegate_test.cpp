#include <gtest/gtest.h>

#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

struct EditorState
{
  int32_t w;
  int32_t h;
  float scale;
};

EditorState ReadState(const IByteChunk& chunk)
{
  EditorState st{};
  int pos = chunk.Get(st.w, 0);
  pos = chunk.Get(st.h, pos);
  chunk.Get(st.scale, pos);
  return st;
}

IByteChunk StateChunk(int32_t w, int32_t h, float scale)
{
  IByteChunk chunk;
  chunk.Put(w);
  chunk.Put(h);
  chunk.Put(scale);
  return chunk;
}

TEST(EditorDelegateTest, SizeAndScaleSurviveCloseAndOpen)
{
  EditorSession s;
  s.G().Resize(940, 620, 1.5f, true);
  s.Reopen();
  EXPECT_EQ(940, s.G().Width());
  EXPECT_EQ(620, s.G().Height());
  EXPECT_FLOAT_EQ(1.5f, s.G().GetDrawScale());

  IByteChunk chunk;
  EXPECT_TRUE(s.dlg.SerializeEditorState(chunk));
  EXPECT_EQ(12, chunk.Size());
  const EditorState st = ReadState(chunk);
  EXPECT_EQ(940, st.w);
  EXPECT_EQ(620, st.h);
  EXPECT_FLOAT_EQ(1.5f, st.scale);
}

TEST(EditorDelegateTest, ClosedDelegateWritesWhatItRemembers)
{
  FakeDelegate dlg(4);
  IByteChunk chunk;
  EXPECT_TRUE(dlg.SerializeEditorSize(chunk));
  const EditorState st = ReadState(chunk);
  EXPECT_EQ(0, st.w);
  EXPECT_EQ(0, st.h);
  EXPECT_EQ(0.f, st.scale);
}

TEST(EditorDelegateTest, RestoringEditorState)
{
  struct Case
  {
    const char* name;
    bool open;
    IByteChunk chunk;
    int expectedPos;
    int w, h;
    float scale; // of the open editor, or remembered
  };
  IByteChunk shortChunk;
  shortChunk.Put(int32_t{700});
  shortChunk.Put(int32_t{300});
  Case cases[] = {
    {"open: applied", true, StateChunk(940, 620, 2.f), 12, 940, 620, 2.f},
    {"open: zero scale changes nothing", true, StateChunk(940, 620, 0.f), 12, 940, 200, 1.f},
    {"open: not a number changes nothing", true, StateChunk(940, 620, std::nanf("")), 12, 940, 200, 1.f},
    {"open: short block changes nothing", true, shortChunk, -1, 940, 200, 1.f},
    {"closed: remembered", false, StateChunk(940, 620, 1.25f), 12, 940, 620, 1.25f},
    {"closed: short block keeps what was read", false, shortChunk, -1, 700, 300, 0.f},
  };
  for (Case& c : cases)
  {
    EditorSession s;
    if (!c.open)
      s.dlg.CloseWindow();
    EXPECT_EQ(c.expectedPos, s.dlg.UnserializeEditorState(c.chunk, 0)) << c.name;
    if (c.open)
    {
      EXPECT_EQ(c.w, s.G().Width()) << c.name;
      EXPECT_EQ(c.h, s.G().Height()) << c.name;
      EXPECT_FLOAT_EQ(c.scale, s.G().GetDrawScale()) << c.name;
    }
    else
    {
      EXPECT_EQ(c.w, s.dlg.GetLastWidth()) << c.name;
      EXPECT_EQ(c.h, s.dlg.GetLastHeight()) << c.name;
      EXPECT_FLOAT_EQ(c.scale, s.dlg.GetLastScale()) << c.name;
    }
  }
}

TEST(EditorDelegateTest, RestoreWhileClosedThenOpen)
{
  EditorSession s;
  s.dlg.CloseWindow();
  s.dlg.UnserializeEditorState(StateChunk(940, 620, 1.5f), 0);
  s.dlg.OpenWindow(nullptr);
  EXPECT_EQ(620, s.G().Height());
  EXPECT_FLOAT_EQ(1.5f, s.G().GetDrawScale());
  EXPECT_EQ(-1, s.dlg.UnserializeEditorState(StateChunk(940, 620, 1.5f), -4));
}

TEST(EditorDelegateTest, ParentWindowResizeKeepsTheDrawScale)
{
  struct Case
  {
    const char* name;
    float drawScale;
    float windowScale;
    int hostW, hostH;
    int w, h;
  };
  const Case cases[] = {
    {"host confirms 1.5 x 940 x 200", 1.5f, 1.f, 1410, 300, 940, 200},
    {"window scale 2", 1.f, 2.f, 1880, 400, 940, 200},
    {"host makes it taller at 1.5", 1.5f, 1.f, 1410, 930, 940, 620},
  };
  for (const Case& c : cases)
  {
    EditorSession s(8, 940, 200, c.drawScale);
    s.platform.windowScale = c.windowScale;
    s.dlg.OnParentWindowResize(c.hostW, c.hostH);
    EXPECT_EQ(c.w, s.G().Width()) << c.name;
    EXPECT_EQ(c.h, s.G().Height()) << c.name;
    EXPECT_FLOAT_EQ(c.drawScale, s.G().GetDrawScale()) << c.name;
  }
}

TEST(EditorDelegateTest, CloseDuringOpenIsIgnoredAndCloseTwiceIsHarmless)
{
  FakeDelegate dlg(2);
  HeadlessPlatform platform;
  DrawRecorder recorder;
  dlg.UseHeadlessEditor(platform, recorder, 940, 200);
  dlg.SetLayoutFunc([&dlg](IGfx*) { dlg.CloseWindow(); });
  dlg.OpenWindow(nullptr);
  ASSERT_NE(nullptr, dlg.GetUI());
  dlg.CloseWindow();
  dlg.CloseWindow();
  EXPECT_EQ(nullptr, dlg.GetUI());
  EXPECT_EQ((Strings{"open", "close"}), dlg.log);
}

TEST(EditorDelegateTest, MidiReachesWantingControlsAndThePluginWithOrWithoutEditor)
{
  EditorSession s;
  auto* wants = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  auto* ignores = s.Attach<RecordingControl>(IRECT(40, 10, 60, 30));
  wants->SetWantsMidi(true);
  const IMidiMsg msg{0, 144, 60, 100};
  s.dlg.SendMidiMsgFromDelegate(msg);
  EXPECT_EQ(1, wants->Count("midi 144"));
  EXPECT_EQ(0, ignores->Count("midi"));
  EXPECT_EQ(1u, s.dlg.midiUI.size());

  s.dlg.CloseWindow();
  s.dlg.SendMidiMsgFromDelegate(msg);
  EXPECT_EQ(2u, s.dlg.midiUI.size());
}

TEST(EditorDelegateTest, ParameterValuesReachLinkedControls)
{
  EditorSession s;
  s.dlg.GetParam(2)->InitDouble("stepped", 0., 0., 2., 0.5, "", IParam::kFlagStepped);
  auto* a = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 2);
  auto* b = s.Attach<RecordingControl>(IRECT(40, 10, 60, 30), std::vector<int>{1, 2}, "b");
  auto* other = s.Attach<RecordingControl>(IRECT(70, 10, 90, 30), 3);

  s.dlg.SendParameterValueFromDelegate(2, 1.26, false); // rounds to the step: 1.5 of 0..2
  EXPECT_DOUBLE_EQ(0.75, a->GetValue());
  EXPECT_DOUBLE_EQ(0.75, b->GetValue(1));
  EXPECT_DOUBLE_EQ(0., b->GetValue(0));
  EXPECT_DOUBLE_EQ(0., other->GetValue());
  EXPECT_EQ(Strings{"2 source 4"}, s.dlg.ParamChangesUI());

  s.dlg.SendParameterValueFromDelegate(2, 0.25, true);
  EXPECT_DOUBLE_EQ(0.25, a->GetValue());

  s.dlg.SendParameterValueFromDelegate(99, 0.5, true); // no such parameter: ignored
  s.dlg.SendParameterValueFromDelegate(-1, 0.5, true);
  EXPECT_EQ(2, s.dlg.NParamChangesUI());
}

TEST(EditorDelegateTest, HeldControlIgnoresDelegateValuesUntilReleased)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.Input().Press(20, 20);
  s.dlg.SendParameterValueFromDelegate(1, 0.6, true);
  EXPECT_DOUBLE_EQ(0., c->GetValue());
  s.Input().Release(20, 20);
  s.dlg.SendParameterValueFromDelegate(1, 0.6, true);
  EXPECT_DOUBLE_EQ(0.6, c->GetValue());
}

TEST(EditorDelegateTest, ControlValuesAndMessagesByTag)
{
  EditorSession s;
  auto* c = new RecordingControl(IRECT(10, 10, 30, 30));
  s.G().AttachControl(c, 7);
  s.dlg.SendControlValueFromDelegate(7, 0.4);
  s.dlg.SendControlValueFromDelegate(8, 0.9);
  EXPECT_DOUBLE_EQ(0.4, c->GetValue());
  s.dlg.SendControlMsgFromDelegate(8, 1, 0, nullptr);
  s.dlg.CloseWindow();
  s.dlg.SendControlValueFromDelegate(7, 0.4); // no editor: nothing
}

} // namespace
} // namespace plugkit::gfx::test
