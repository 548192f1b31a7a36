#include <gtest/gtest.h>

#include <functional>
#include <string_view>

#include "IGfx/StaticStorage.h"

using namespace plugkit::gfx;

namespace {
struct Counted
{
  explicit Counted(int& alive)
    : alive(alive)
  {
    ++alive;
  }
  ~Counted() { --alive; }
  int& alive;
};
} // namespace

TEST(StaticStorage, LookupIsExactOnNameAndScale)
{
  int alive = 0;
  StaticStorage<Counted> cache;
  StaticStorage<Counted>::Accessor storage(cache);
  auto* one = new Counted(alive);
  auto* two = new Counted(alive);
  storage.Add(one, "knob.png", 1.0);
  storage.Add(two, "knob.png", 2.0);

  EXPECT_EQ(storage.Find("knob.png", 1.0), one);
  EXPECT_EQ(storage.Find("knob.png", 2.0), two);
  EXPECT_EQ(storage.Find("knob.png", 3.0), nullptr);
  EXPECT_EQ(storage.Find("knob.png", 2.0000001), nullptr);
  EXPECT_EQ(storage.Find("knob", 1.0), nullptr);
  EXPECT_EQ(storage.Find("knob.png"), one);

  storage.Remove(one);
  EXPECT_EQ(alive, 1);
  EXPECT_EQ(storage.Find("knob.png", 1.0), nullptr);
  EXPECT_EQ(StaticStorage<Counted>::KeyHash("RobotoMono-Regular.ttf", 1.0),
            std::hash<std::string_view>{}("RobotoMono-Regular.ttf-1.0x"));
}

TEST(StaticStorage, LastReleaseEmptiesItAndEndOfLifeFreesTheRest)
{
  int alive = 0;
  {
    StaticStorage<Counted> cache;
    {
      StaticStorage<Counted>::Accessor storage(cache);
      storage.Retain();
      storage.Retain();
      storage.Add(new Counted(alive), "a");
      storage.Release();
      EXPECT_EQ(storage.Size(), 1);
      storage.Release();
      EXPECT_EQ(storage.Size(), 0);
      EXPECT_EQ(alive, 0);
      storage.Add(new Counted(alive), "b");
    }
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);
}
