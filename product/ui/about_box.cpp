#include "product/ui/about_box.h"

#include <fmt/format.h>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IURLControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/IVStyle.h"
#include "product/VemlorConfig.h"
#include "utils/repeatable_run.h"

#ifndef VEMLOR_BUILD_ARCH
#define VEMLOR_BUILD_ARCH "unknown"
#endif
#ifndef VEMLOR_BUILD_BRANCH
#define VEMLOR_BUILD_BRANCH "unknown"
#endif
#ifndef VEMLOR_BUILD_REVISION
#define VEMLOR_BUILD_REVISION "unknown"
#endif
#ifndef VEMLOR_BUILD_DATE
#define VEMLOR_BUILD_DATE __DATE__
#endif

namespace vemlor::ui {

using namespace plugkit::gfx;

BuildInfo BuildInfo::current()
{
  // A repeatable run shows the same box whatever commit or day it was built on.
  if (zarvo::repeatableRun())
    return BuildInfo{VEMLOR_BUILD_ARCH, "main", "0000000", "2000-01-01"};
  return BuildInfo{VEMLOR_BUILD_ARCH, VEMLOR_BUILD_BRANCH, VEMLOR_BUILD_REVISION, VEMLOR_BUILD_DATE};
}

std::vector<std::string> AboutBox::lines(const BuildInfo& build)
{
  return {kMakerDomain,
          fmt::format("{} v{} {}", "VEMLOR", zarvo::kVemlorVersionText.c_str(), "edition: free"),
          fmt::format("{} {} {}", "VST3", build.architecture, "release"),
          fmt::format("{} {}", build.branch, build.revision),
          build.date,
          "built with plugkit",
          "no info"};
}

IRECT AboutBox::lineRect(const IRECT& bounds, int i, int n, float textSize)
{
  const float rowHeight = 1.2f * textSize;
  const float top = bounds.MH() - rowHeight * static_cast<float>(n) / 2.f;
  return IRECT(bounds.L, top + rowHeight * static_cast<float>(i), bounds.R,
               top + rowHeight * static_cast<float>(i + 1));
}

void AboutBox::show(IGfx& g)
{
  auto* box = dynamic_cast<IAboutBoxControl*>(g.GetControlWithTag(kTag));
  if (!box)
    return;
  g.BringControlToFront(box);
  box->Show();
}

IAboutBoxControl* AboutBox::make(const IRECT& bounds, const IPattern& background, const IText& text,
                                 const IColor& accent, const BuildInfo& build)
{
  const std::vector<std::string> texts = lines(build);
  // Centred on their rows: a link answers only over its text, which the layout centres.
  IText centred = text;
  centred.mAlign = EAlign::Center;
  auto attach = [texts, text = centred, accent](IContainerBase* box, const IRECT& r) {
    auto link = [&](const std::string& shown, const char* url) {
      box->AddChildControl(new IURLControl(r, shown.c_str(), url, text, DEFAULT_BGCOLOR, accent, accent));
    };
    auto plain = [&](const std::string& shown, int tag) {
      box->AddChildControl(new ITextControl(r, shown.c_str(), text), tag);
    };
    link(texts[0], kMakerURL);
    for (size_t i = 1; i < 5; ++i)
      plain(texts[i], -1);
    link(texts[5], kFrameworkURL);
    plain(texts[6], kHostLineTag);
    box->Hide(true);
  };
  auto layout = [text = centred](IContainerBase* box, const IRECT& r) {
    const int n = box->NChildren();
    box->ForAllChildrenFunc([&](int i, IControl* child) {
      const IRECT row = lineRect(r, i, n, text.mSize);
      child->SetTargetAndDrawRECTs(row);
      child->ClearMouseIsOver();
      auto* url = dynamic_cast<IURLControl*>(child);
      if (url && child->GetUI())
      {
        // Only the link's text opens it, not the whole row.
        IRECT measured;
        const float w = child->GetUI()->MeasureText(text, url->GetStr(), measured) + 8.f;
        child->SetTargetRECT(IRECT(row.MW() - w / 2.f, row.T, row.MW() + w / 2.f, row.B));
      }
    });
  };
  return new IAboutBoxControl(bounds, background, attach, layout);
}

} // namespace vemlor::ui
