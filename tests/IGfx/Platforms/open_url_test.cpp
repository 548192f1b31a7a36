// Opening web pages and local paths with the desktop's handler: which is which, and what the
// handler is given.
#include "tests/IGfx/Platforms/x11_test_support.h"

#include "IPlugin/IPluginSpawn.h"
#include "IGfx/Platforms/X11/OpenURL.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vemlor::x11test {
namespace {

using plugkit::gfx::EOpenTarget;

struct ClassifyCase
{
  const char* name;
  std::string text;
  EOpenTarget target;
};

class OpenTargets : public ::testing::TestWithParam<ClassifyCase>
{};

TEST_P(OpenTargets, AreURLsOnlyWhenTheyBeginWithAScheme)
{
  EXPECT_EQ(plugkit::gfx::ClassifyOpenTarget(GetParam().text), GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
  Texts, OpenTargets,
  ::testing::Values(ClassifyCase{"https", "https://example.org/manual", EOpenTarget::URL},
                    ClassifyCase{"http", "http://example.org", EOpenTarget::URL},
                    ClassifyCase{"mailto", "mailto:support@example.org", EOpenTarget::URL},
                    ClassifyCase{"file_url", "file:///home/u/Presets", EOpenTarget::URL},
                    ClassifyCase{"scheme_with_plus", "svn+ssh://host/x", EOpenTarget::URL},
                    ClassifyCase{"path_containing_http", "/home/u/http-presets/x.fxp", EOpenTarget::Path},
                    ClassifyCase{"path_containing_a_url", "/home/u/https:/x", EOpenTarget::Path},
                    ClassifyCase{"relative_path", "Presets/x.fxp", EOpenTarget::Path},
                    ClassifyCase{"option_like", "--help", EOpenTarget::Path},
                    ClassifyCase{"one_letter_scheme", "c:/x", EOpenTarget::Path},
                    ClassifyCase{"nothing_after_the_colon", "https:", EOpenTarget::Path},
                    ClassifyCase{"digit_first", "1http://x", EOpenTarget::Path},
                    ClassifyCase{"empty", "", EOpenTarget::Invalid},
                    ClassifyCase{"embedded_nul", std::string("https://a\0b", 11), EOpenTarget::Invalid}),
  [](const auto& info) { return std::string(info.param.name); });

class OpenURLs : public ::testing::Test
{
protected:
  void SetUp() override
  {
    dir = MakeTempDir("open");
    log = dir + "/opened";
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(VEMLOR_FAKE_BIN) + ":" + savedPath).c_str(), 1);
    setenv("VEMLOR_FAKE_OPEN_LOG", log.c_str(), 1);
  }
  void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

  // What the fake opener was given, once it has run.
  std::string opened()
  {
    PumpUntil(host.runLoop(), [&] { return std::filesystem::exists(log); }, {});
    std::ifstream in(log);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  testhost::Host host;
  std::string dir, log, savedPath;
};

TEST_F(OpenURLs, AWebAddressIsHandedOverUnchanged)
{
  ASSERT_TRUE(plugkit::gfx::OpenURLExternally("https://example.org/manual?a=1&b=$(x)"));
  EXPECT_EQ(opened(), "https://example.org/manual?a=1&b=$(x)\n");
}

TEST_F(OpenURLs, ALocalFolderNamedLikeAURLIsOpenedAsAPath)
{
  const std::string folder = dir + "/http-presets \"quoted\" $(rm)";
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(plugkit::gfx::OpenURLExternally(folder));
  EXPECT_EQ(opened(), folder + "\n");
}

TEST_F(OpenURLs, FailuresAreReportedAsFailures)
{
  EXPECT_FALSE(plugkit::gfx::OpenURLExternally(""));
  EXPECT_FALSE(plugkit::gfx::OpenURLExternally(dir + "/missing/x.fxp"));
  EXPECT_FALSE(plugkit::gfx::OpenURLExternally("https://example.org", "vemlor-no-such-opener"));
  EXPECT_FALSE(std::filesystem::exists(log));
}

TEST_F(OpenURLs, ARelativePathIsMadeAbsoluteSoItCannotReadAsAnOption)
{
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::filesystem::create_directories(dir + "/--help");
  const bool started = plugkit::gfx::OpenURLExternally("--help");
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(started);
  EXPECT_EQ(opened(), dir + "/--help\n");
}

struct RevealCase
{
  const char* name;
  bool select;
  const char* opened; // relative to the test folder
};

class RevealPaths : public OpenURLs, public ::testing::WithParamInterface<RevealCase>
{};

TEST_P(RevealPaths, OpenTheItemOrTheFolderHoldingIt)
{
  std::filesystem::create_directories(dir + "/Presets");
  std::ofstream(dir + "/Presets/Warm Pad.fxp") << "x";
  ASSERT_TRUE(plugkit::gfx::RevealPathExternally(dir + "/Presets/Warm Pad.fxp", GetParam().select));
  EXPECT_EQ(opened(), dir + GetParam().opened + "\n");
}

INSTANTIATE_TEST_SUITE_P(Modes, RevealPaths,
                         ::testing::Values(RevealCase{"select_opens_the_folder", true, "/Presets"},
                                           RevealCase{"without_select_opens_the_item", false, "/Presets/Warm Pad.fxp"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenURLs, RevealingNothingOrAMissingPathOrAURLFails)
{
  EXPECT_FALSE(plugkit::gfx::RevealPathExternally("", true));
  EXPECT_FALSE(plugkit::gfx::RevealPathExternally(dir + "/missing.fxp", true));
  EXPECT_FALSE(plugkit::gfx::RevealPathExternally("https://example.org", false));
  EXPECT_FALSE(std::filesystem::exists(log));
}

} // namespace
} // namespace vemlor::x11test
