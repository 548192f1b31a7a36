#include <gtest/gtest.h>

#include <fmt/format.h>

#include <string>
#include <vector>

#include "IPlugin/IPluginEditorDelegate.h"
#include "recording_plugin.h"

namespace plugkit {
namespace {

using Calls = std::vector<std::string>;

// The delegate base alone, as a plug-in without an editor sees it; records the hooks it reaches.
class RecordingDelegate : public IEditorDelegate
{
public:
  RecordingDelegate()
    : IEditorDelegate(3)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->InitDouble(fmt::format("p{}", i).c_str(), 0.25 * i, 0.0, 1.0, 0.01, "", IParam::kFlagStepped);
  }

  using IEditorDelegate::OnParamChange;
  void OnParamChange(int idx) override { calls.push_back(fmt::format("change {}", idx)); }
  void OnParamChangeUI(int idx, EParamSource source) override
  {
    calls.push_back(fmt::format("changeUI {} {}", idx, test::SourceName(source)));
  }
  void OnUIClose() override { calls.push_back("uiClose"); }

  Calls calls;
};

TEST(EditorDelegateTest, ConstrainsEditorSizeToTheLimits)
{
  test::RecordingPlugin plug; // 470..3760 by 100..2480
  struct Case
  {
    const char* name;
    int width, height;
    bool within;
    int expectedWidth, expectedHeight;
  };
  const Case cases[] = {
    {"inside", 940, 620, true, 940, 620},
    {"on the lower bounds", 470, 100, true, 470, 100},
    {"on the upper bounds", 3760, 2480, true, 3760, 2480},
    {"too wide and too low", 5000, 50, false, 3760, 100},
    {"too narrow only", 100, 200, false, 470, 200},
  };
  for (const Case& c : cases)
  {
    int w = c.width, h = c.height;
    EXPECT_EQ(plug.ConstrainEditorResize(w, h), c.within) << c.name;
    EXPECT_EQ(w, c.expectedWidth) << c.name;
    EXPECT_EQ(h, c.expectedHeight) << c.name;
  }
}

TEST(EditorDelegateTest, ParamResetVisitsEveryParameterInOrder)
{
  RecordingDelegate delegate;
  delegate.OnParamReset(EParamSource::kPresetRecall);
  EXPECT_EQ(delegate.calls,
            (Calls{"change 0", "changeUI 0 recall", "change 1", "changeUI 1 recall", "change 2", "changeUI 2 recall"}));
}

TEST(EditorDelegateTest, OpeningAndRestoringPushEveryValueToTheEditor)
{
  RecordingDelegate delegate;
  EXPECT_EQ(delegate.OpenWindow(nullptr), nullptr);
  delegate.CloseWindow();
  delegate.OnRestoreState();
  const Calls pushAll{"changeUI 0 delegate", "changeUI 1 delegate", "changeUI 2 delegate"};
  Calls expected = pushAll;
  expected.push_back("uiClose");
  expected.insert(expected.end(), pushAll.begin(), pushAll.end());
  EXPECT_EQ(delegate.calls, expected);
}

TEST(EditorDelegateTest, WithoutAnEditorMessagesAreUnhandledAndMidiIgnored)
{
  RecordingDelegate delegate;
  EXPECT_FALSE(delegate.OnMessage(1, -1, 0, nullptr));
  delegate.SendArbitraryMsgFromDelegate(1, 0, nullptr);
  delegate.SendControlMsgFromDelegate(5, 1, 0, nullptr);
  delegate.SendMidiMsgFromDelegate({0, 0x90, 60, 100});
  delegate.SendMidiMsgFromUI({0, 0x90, 60, 100});
  EXPECT_FALSE(delegate.OnKeyDown({}));
  EXPECT_FALSE(delegate.EditorResizeFromUI(100, 100, true));
  EXPECT_TRUE(delegate.calls.empty());

  IByteChunk chunk;
  EXPECT_TRUE(delegate.SerializeEditorState(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(delegate.UnserializeEditorState(chunk, 7), 7);
}

TEST(EditorDelegateTest, EditorValueSetsTheParameter)
{
  RecordingDelegate delegate;
  delegate.SendParameterValueFromUI(1, 0.333);
  EXPECT_DOUBLE_EQ(delegate.GetParam(1)->Value(), 0.33);
  EXPECT_EQ(delegate.calls, (Calls{"changeUI 1 ui"}));
  EXPECT_EQ(delegate.GetParam(-1), nullptr);
  EXPECT_EQ(delegate.GetParam(3), nullptr);
}

} // namespace
} // namespace plugkit
