#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "extras_plugin.h"
#include "IPlugin/IPluginBase.h"

namespace plugkit {
namespace {

using test::Bytes;
using test::ExtrasConfig;
using test::ExtrasPlugin;
using test::LevelAndSteps;
using test::TempDir;

// The bank tests' plug-in with its three slots: 0 "Soft" (0.25, 2), 1 "Hard" (1.0, 4), 2 never
// made (name "empty"); slot 1 is current.
std::unique_ptr<ExtrasPlugin> MadePlugin(bool stateChunks, int32_t uniqueId = MakeFourCC("Vmlr"))
{
  auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(stateChunks, 2, 3, uniqueId), LevelAndSteps);
  plug->MakePreset("Soft", 0.25, 2);
  plug->MakePreset("Hard", 1.0, 4);
  EXPECT_TRUE(plug->RestorePreset(1));
  plug->calls.clear();
  return plug;
}

std::unique_ptr<ExtrasPlugin> FreshPlugin(bool stateChunks)
{
  return std::make_unique<ExtrasPlugin>(ExtrasConfig(stateChunks, 2, 3), LevelAndSteps);
}

// Byte tables: each row one field, written out from the container's layout.
void Zeros(Bytes& b, size_t n) { b.insert(b.end(), n, 0); }

// Slot n of the preset list; for initialised slots, the values as little-endian doubles.
const Bytes kChunkBank = [] {
  Bytes b = {
    'C',  'c',  'n',  'K',  // 0   chunk magic
    0x00, 0x00, 0x00, 0xE4, // 4   byte size: 68 bytes of bank data + 160 = 228, the whole file
    'F',  'B',  'C',  'h',  // 8   chunk bank
    0x00, 0x00, 0x00, 0x02, // 12  format version 2
    'V',  'm',  'l',  'r',  // 16  unique identifier
    0x00, 0x00, 0x28, 0x3C, // 20  version 1.3.0 as 10300
    0x00, 0x00, 0x00, 0x03, // 24  three programs
    0x00, 0x00, 0x00, 0x01, // 28  current program 1
  };
  Zeros(b, 124); // 32 reserved
  const Bytes data = {
    0x00, 0x00, 0x00, 0x44,                              // 156 bank data size 68
    't',  'f',  'f',  'p',  0x00, 0x00, 0x01, 0x00,      // 160 "tffp", 0x00010000 little-endian
    0x04, 0x00, 0x00, 0x00, 'S',  'o',  'f',  't',       // 168 slot 0: name length 4, "Soft"
    0x01,                                                //     initialised
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,      //     0.25
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,      //     2.0
    0x04, 0x00, 0x00, 0x00, 'H',  'a',  'r',  'd',       // 193 slot 1: "Hard"
    0x01,                                                //     initialised
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,      //     1.0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x40,      //     4.0
    0x05, 0x00, 0x00, 0x00, 'e',  'm',  'p',  't',  'y', // 218 slot 2: "empty"
    0x00,                                                //     not initialised, no state
  };
  b.insert(b.end(), data.begin(), data.end());
  return b;
}();

// One FxCk program record of a parameter bank: header, 28-byte name, normalised big-endian floats.
void ProgramRecord(Bytes& b, const char* name, const Bytes& floats)
{
  const Bytes header = {
    'C',  'c',  'n',  'K',  // +0  chunk magic
    0x00, 0x00, 0x00, 0x00, // +4  byte size 0
    'F',  'x',  'C',  'k',  // +8  parameter program
    0x00, 0x00, 0x00, 0x01, // +12 format version 1
    'V',  'm',  'l',  'r',  // +16 unique identifier
    0x00, 0x00, 0x28, 0x3C, // +20 version 10300
    0x00, 0x00, 0x00, 0x02, // +24 two parameters
  };
  b.insert(b.end(), header.begin(), header.end());
  const std::string text(name);
  b.insert(b.end(), text.begin(), text.end());
  Zeros(b, 28 - text.size());                      // +28 name, zero-filled
  b.insert(b.end(), floats.begin(), floats.end()); // +56
}

const Bytes kParameterBank = [] {
  Bytes b = {
    'C',  'c',  'n',  'K',  // 0   chunk magic
    0x00, 0x00, 0x00, 0x00, // 4   byte size 0
    'F',  'x',  'B',  'k',  // 8   parameter bank
    0x00, 0x00, 0x00, 0x02, // 12  format version 2
    'V',  'm',  'l',  'r',  // 16  unique identifier
    0x00, 0x00, 0x28, 0x3C, // 20  version 10300
    0x00, 0x00, 0x00, 0x03, // 24  three programs
    0x00, 0x00, 0x00, 0x01, // 28  current program 1
  };
  Zeros(b, 124); // 32 reserved; records from 156, 64 bytes each
  // level 0.25 -> 0.25f; steps 2 of 0..4 -> 0.5f
  ProgramRecord(b, "Soft", {0x3E, 0x80, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00});
  // level 1.0 -> 1.0f; steps 4 -> 1.0f
  ProgramRecord(b, "Hard", {0x3F, 0x80, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00});
  // an empty chunk reads as 0 for every parameter
  ProgramRecord(b, "empty", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  return b;
}();

// Program files of slot "Hard" (1.0, 4).
const Bytes kChunkProgram = [] {
  Bytes b = {
    'C',  'c',  'n',  'K',  // 0  chunk magic
    0x00, 0x00, 0x00, 0x54, // 4  byte size: 24 bytes of data + 60 = 84
    'F',  'P',  'C',  'h',  // 8  opaque chunk program
    0x00, 0x00, 0x00, 0x01, // 12 format version 1
    'V',  'm',  'l',  'r',  // 16 unique identifier
    0x00, 0x00, 0x28, 0x3C, // 20 version 10300
    0x00, 0x00, 0x00, 0x02, // 24 two parameters
    'H',  'a',  'r',  'd',  // 28 program name
  };
  Zeros(b, 24);
  const Bytes data = {
    0x00, 0x00, 0x00, 0x18,                         // 56 data size 24
    't',  'f',  'f',  'p',  0x00, 0x00, 0x01, 0x00, // 60 "tffp", 0x00010000 little-endian
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, // 68 1.0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x40, // 76 4.0
  };
  b.insert(b.end(), data.begin(), data.end());
  return b;
}();

const Bytes kParameterProgram = [] {
  Bytes b;
  ProgramRecord(b, "Hard", {0x3F, 0x80, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00});
  return b;
}();

struct SlotView
{
  std::string name;
  bool initialized;
  std::vector<double> values; // the doubles of the slot's chunk

  bool operator==(const SlotView&) const = default;
};

std::vector<SlotView> Slots(const IPluginBase& plug)
{
  std::vector<SlotView> slots;
  for (int i = 0; i < plug.NPresets(); ++i)
  {
    const IPreset* preset = plug.GetPreset(i);
    SlotView view{preset->mName, preset->mInitialized, {}};
    double v = 0.0;
    for (int pos = 0; (pos = preset->mChunk.Get(v, pos)) > 0;)
      view.values.push_back(v);
    slots.push_back(view);
  }
  return slots;
}

std::vector<SlotView> Slots(const std::unique_ptr<ExtrasPlugin>& plug) { return Slots(*plug); }

void PrintTo(const SlotView& s, std::ostream* os)
{
  *os << s.name << (s.initialized ? " (made)" : " (fresh)");
  for (double v : s.values)
    *os << " " << v;
}

// Writing.

TEST(BankFile, SavedBanksMatchTheirLayoutByteForByte)
{
  TempDir dir;
  for (bool stateChunks : {true, false})
  {
    SCOPED_TRACE(stateChunks ? "chunk bank" : "parameter bank");
    const auto plug = MadePlugin(stateChunks);
    const std::string path = dir.PathOf("bank.fxb");
    ASSERT_TRUE(plug->SaveBankAsFXB(path.c_str()));
    EXPECT_EQ(TempDir::Read(path), stateChunks ? kChunkBank : kParameterBank);
  }
}

TEST(BankFile, SavedProgramsMatchTheirLayoutByteForByte)
{
  TempDir dir;
  for (bool stateChunks : {true, false})
  {
    SCOPED_TRACE(stateChunks ? "chunk program" : "parameter program");
    const auto plug = MadePlugin(stateChunks);
    const std::string path = dir.PathOf("program.fxp");
    ASSERT_TRUE(plug->SavePresetAsFXP(path.c_str()));
    EXPECT_EQ(TempDir::Read(path), stateChunks ? kChunkProgram : kParameterProgram);
  }
}

TEST(BankFile, ProgramNamesFillTwentyEightBytesWithoutTerminator)
{
  struct Case
  {
    const char* name;
    std::string expected; // the 28-byte field
  };
  const Case cases[] = {
    {"Exactly twenty-eight chars!!", "Exactly twenty-eight chars!!"},
    {"A name that runs past the field", "A name that runs past the fi"},
    {"Short", std::string("Short") + std::string(23, '\0')},
  };
  TempDir dir;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 2, 1), LevelAndSteps);
    plug->MakeDefaultPreset(c.name, 1);
    const std::string path = dir.PathOf("names.fxb");
    ASSERT_TRUE(plug->SaveBankAsFXB(path.c_str()));
    const Bytes bytes = TempDir::Read(path);
    ASSERT_EQ(bytes.size(), 156u + 64u);
    EXPECT_EQ(std::string(bytes.begin() + 156 + 28, bytes.begin() + 156 + 56), c.expected);
  }
}

TEST(BankFile, ShortSlotChunksWriteMissingValuesAsZeroWithinRange)
{
  // steps is 1..4 here, so a missing 0 is clamped to 1 before normalising: (1 - 1) / 3 = 0.
  auto plug = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 2, 1), [](ExtrasPlugin& p) {
    p.GetParam(0)->InitDouble("level", 0.5, -1.0, 1.0, 0.001);
    p.GetParam(1)->InitInt("steps", 2, 1, 4);
  });
  IByteChunk oneValue;
  oneValue.Put(0.5);
  plug->MakePresetFromChunk("short", oneValue);
  TempDir dir;
  const std::string path = dir.PathOf("short.fxb");
  ASSERT_TRUE(plug->SaveBankAsFXB(path.c_str()));
  const Bytes bytes = TempDir::Read(path);
  ASSERT_EQ(bytes.size(), 156u + 64u);
  // level 0.5 of -1..1 -> 0.75f; steps missing -> 0 -> clamped to 1 -> 0.0f
  EXPECT_EQ(Bytes(bytes.begin() + 156 + 56, bytes.end()), (Bytes{0x3F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(BankFile, SaveFailuresReportFalseAndLeaveTheFileAlone)
{
  TempDir dir;
  const auto plug = MadePlugin(true);
  EXPECT_FALSE(plug->SaveBankAsFXB(nullptr));
  EXPECT_FALSE(plug->SaveBankAsFXB(""));
  EXPECT_FALSE(plug->SaveBankAsFXB(dir.PathOf("missing-folder/bank.fxb").c_str()));

  const std::string existing = dir.Write("bank.fxb", {1, 2, 3});
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool saved = plug->SaveBankAsFXB(existing.c_str());
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  if (!saved) // root may write anywhere; then there is nothing to see
  {
    EXPECT_EQ(TempDir::Read(existing), (Bytes{1, 2, 3}));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary file left";
}

// Reading.

TEST(BankFile, SaveThenLoadRestoresEverySlotNameAndTheCurrentIndex)
{
  TempDir dir;
  for (bool stateChunks : {true, false})
  {
    SCOPED_TRACE(stateChunks ? "chunk bank" : "parameter bank");
    const auto source = MadePlugin(stateChunks);
    const std::string path = dir.PathOf("bank.fxb");
    ASSERT_TRUE(source->SaveBankAsFXB(path.c_str()));

    auto target = FreshPlugin(stateChunks);
    ASSERT_TRUE(target->LoadBankFromFXB(path.c_str()));
    std::vector<SlotView> expected = Slots(source);
    if (!stateChunks) // a parameter bank carries every slot as values, so every slot comes back made
      expected[2] = {"empty", true, {0.0, 0.0}};
    EXPECT_EQ(Slots(target), expected);
    if (stateChunks) // a chunk bank leaves the plug-in on its own current slot, which now holds "Soft"
    {
      EXPECT_EQ(target->GetCurrentPresetIdx(), 0);
      EXPECT_EQ(target->Values(), (std::vector<double>{0.25, 2.0}));
    }
    else
    {
      EXPECT_EQ(target->GetCurrentPresetIdx(), 1);
      EXPECT_EQ(target->Values(), (std::vector<double>{1.0, 4.0}));
    }
    EXPECT_EQ(target->calls.back(), "presetChange");
  }
}

TEST(BankFile, ChunkBankWithoutTheLeadingTagReadsFromTheDataStart)
{
  Bytes bank(kChunkBank.begin(), kChunkBank.begin() + 160);
  bank.insert(bank.end(), kChunkBank.begin() + 168, kChunkBank.end());
  TempDir dir;
  auto target = FreshPlugin(true);
  ASSERT_TRUE(target->LoadBankFromFXB(dir.Write("untagged.fxb", bank).c_str()));
  EXPECT_EQ(Slots(target), Slots(MadePlugin(true)));
}

TEST(BankFile, AnotherPluginsFileChangesNothing)
{
  TempDir dir;
  for (bool stateChunks : {true, false})
  {
    SCOPED_TRACE(stateChunks ? "chunk" : "parameter");
    const auto other = MadePlugin(stateChunks, MakeFourCC("Othr"));
    const std::string bank = dir.PathOf("other->fxb");
    const std::string program = dir.PathOf("other->fxp");
    ASSERT_TRUE(other->SaveBankAsFXB(bank.c_str()));
    ASSERT_TRUE(other->SavePresetAsFXP(program.c_str()));

    auto target = MadePlugin(stateChunks);
    const auto slots = Slots(target);
    EXPECT_FALSE(target->LoadBankFromFXB(bank.c_str()));
    EXPECT_FALSE(target->LoadPresetFromFXP(program.c_str()));
    EXPECT_EQ(Slots(target), slots);
    EXPECT_EQ(target->Values(), (std::vector<double>{1.0, 4.0}));
    EXPECT_TRUE(target->calls.empty());
  }
}

TEST(BankFile, ProgramFilesLoadIntoTheCurrentSlot)
{
  TempDir dir;
  for (bool stateChunks : {true, false})
  {
    SCOPED_TRACE(stateChunks ? "chunk program" : "parameter program");
    auto target = MadePlugin(stateChunks);
    ASSERT_TRUE(target->RestorePreset(0));
    target->calls.clear();
    const std::string path = dir.Write("hard.fxp", stateChunks ? kChunkProgram : kParameterProgram);
    ASSERT_TRUE(target->LoadPresetFromFXP(path.c_str()));
    EXPECT_EQ(Slots(target)[0], (SlotView{"Hard", true, {1.0, 4.0}}));
    EXPECT_EQ(target->GetCurrentPresetIdx(), 0);
    EXPECT_EQ(target->Values(), (std::vector<double>{1.0, 4.0}));
    EXPECT_EQ(target->calls, (std::vector<std::string>{"restore", "presetChange"}));
  }
}

TEST(BankFile, ProgramLoadedIntoAFreshSlotKeepsItsName)
{
  auto target = FreshPlugin(true);
  TempDir dir;
  ASSERT_TRUE(target->LoadPresetFromFXP(dir.Write("hard.fxp", kChunkProgram).c_str()));
  EXPECT_EQ(Slots(target)[0], (SlotView{"Hard", true, {1.0, 4.0}}));
}

// Damaged files: false, and what the notes on each case promise.

Bytes Patched(Bytes bytes, size_t offset, std::initializer_list<uint8_t> patch)
{
  std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
  return bytes;
}

TEST(BankFile, TruncatedFilesAreRefusedAtEveryLength)
{
  struct Case
  {
    const char* name;
    bool stateChunks;
    const Bytes* file;
    bool bank;
  };
  const Case cases[] = {
    {"ChunkBank", true, &kChunkBank, true},
    {"ParameterBank", false, &kParameterBank, true},
    {"ChunkProgram", true, &kChunkProgram, false},
    {"ParameterProgram", false, &kParameterProgram, false},
  };
  TempDir dir;
  for (const Case& c : cases)
    for (size_t length = 0; length < c.file->size(); ++length)
    {
      SCOPED_TRACE(std::string(c.name) + " cut to " + std::to_string(length));
      auto target = FreshPlugin(c.stateChunks);
      const std::string path = dir.Write("cut", Bytes(c.file->begin(), c.file->begin() + length));
      EXPECT_FALSE(c.bank ? target->LoadBankFromFXB(path.c_str()) : target->LoadPresetFromFXP(path.c_str()));
      if (!c.bank) // a refused program changes nothing at all
      {
        EXPECT_EQ(target->Values(), (std::vector<double>{0.5, 1.0}));
        EXPECT_EQ(Slots(target), Slots(FreshPlugin(c.stateChunks)));
      }
    }
}

TEST(BankFile, GarbageIsRefusedAtEveryLength)
{
  std::mt19937 random(23);
  TempDir dir;
  for (bool stateChunks : {true, false})
    for (size_t length = 0; length <= 400; ++length)
    {
      SCOPED_TRACE(length);
      Bytes garbage(length);
      for (uint8_t& byte : garbage)
        byte = static_cast<uint8_t>(random());
      auto target = FreshPlugin(stateChunks);
      const std::string path = dir.Write("garbage", garbage);
      EXPECT_FALSE(target->LoadBankFromFXB(path.c_str()));
      EXPECT_FALSE(target->LoadPresetFromFXP(path.c_str()));
      EXPECT_TRUE(target->calls.empty());
    }
}

TEST(BankFile, DamagedFilesReportFalse)
{
  struct Case
  {
    const char* name;
    bool stateChunks;
    Bytes file;
    bool bank;
    std::vector<std::string> slotNames; // after the attempt
  };
  const Case cases[] = {
    // The list reader fails in slot 1's state: slot 0 keeps what was read, the rest stays.
    {"ChunkBankCutInsideTheList",
     true,
     Bytes(kChunkBank.begin(), kChunkBank.begin() + 200),
     true,
     {"Soft", "empty", "empty"}},
    {"ChunkBankForAPluginWithoutChunks", false, kChunkBank, true, {"empty", "empty", "empty"}},
    {"UnknownBankForm", true, Patched(kChunkBank, 8, {'X', 'x', 'B', 'k'}), true, {"empty", "empty", "empty"}},
    // Record 1 counts three parameters: record 0 stays loaded.
    {"ParameterBankRecordWithOtherCount",
     false,
     Patched(kParameterBank, 156 + 64 + 27, {0x03}),
     true,
     {"Soft", "empty", "empty"}},
    {"ParameterBankRecordWithOtherForm",
     false,
     Patched(kParameterBank, 156 + 64 + 8, {'F', 'P', 'C', 'h'}),
     true,
     {"Soft", "empty", "empty"}},
    {"ProgramWithOtherParameterCount",
     false,
     Patched(kParameterProgram, 27, {0x03}),
     false,
     {"empty", "empty", "empty"}},
    {"ProgramWithOtherFormatVersion",
     false,
     Patched(kParameterProgram, 15, {0x02}),
     false,
     {"empty", "empty", "empty"}},
    {"ChunkProgramForAPluginWithoutChunks", false, kChunkProgram, false, {"empty", "empty", "empty"}},
    {"ChunkProgramWithShortState",
     true,
     Bytes(kChunkProgram.begin(), kChunkProgram.end() - 1),
     false,
     {"empty", "empty", "empty"}},
  };
  TempDir dir;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto target = FreshPlugin(c.stateChunks);
    const std::string path = dir.Write("damaged", c.file);
    EXPECT_FALSE(c.bank ? target->LoadBankFromFXB(path.c_str()) : target->LoadPresetFromFXP(path.c_str()));
    std::vector<std::string> names;
    for (const SlotView& slot : Slots(target))
      names.push_back(slot.name);
    EXPECT_EQ(names, c.slotNames);
  }
}

TEST(BankFile, ChunkBankKeepsThePluginsOwnCurrentSlot)
{
  TempDir dir;
  const std::string path = dir.Write("bank.fxb", kChunkBank); // its header names program 1
  auto target = MadePlugin(true);
  ASSERT_TRUE(target->RestorePreset(0));
  target->GetParam(0)->Set(0.75); // an unsaved edit of the current slot is replaced by the slot as loaded
  ASSERT_TRUE(target->LoadBankFromFXB(path.c_str()));
  EXPECT_EQ(target->GetCurrentPresetIdx(), 0);
  EXPECT_EQ(target->Values(), (std::vector<double>{0.25, 2.0}));
}

TEST(BankFile, ChunkBankNameWithNegativeLengthReadsAsEmptyAndTheBankGoesOn)
{
  // Slot 1's name "Hard" (length 4 and four bytes at 193) becomes a bare length of -1.
  Bytes bank(kChunkBank.begin(), kChunkBank.begin() + 193);
  const Bytes negative = {0xFF, 0xFF, 0xFF, 0xFF};
  bank.insert(bank.end(), negative.begin(), negative.end());
  bank.insert(bank.end(), kChunkBank.begin() + 201, kChunkBank.end());
  bank = Patched(bank, 4, {0x00, 0x00, 0x00, 0xE0});   // 64 bytes of bank data + 160
  bank = Patched(bank, 156, {0x00, 0x00, 0x00, 0x40}); // 64 bytes of bank data
  TempDir dir;
  auto target = FreshPlugin(true);
  ASSERT_TRUE(target->LoadBankFromFXB(dir.Write("negative.fxb", bank).c_str()));
  EXPECT_EQ(Slots(target),
            (std::vector<SlotView>{{"Soft", true, {0.25, 2.0}}, {"", true, {1.0, 4.0}}, {"empty", false, {}}}));

  // The same name read from a preset list on its own.
  IByteChunk list;
  list.PutBytes(bank.data() + 168, static_cast<int>(bank.size()) - 168);
  auto again = FreshPlugin(true);
  EXPECT_EQ(again->UnserializePresets(list, 0), list.Size());
  EXPECT_EQ(Slots(again), Slots(target));
}

TEST(BankFile, ParameterBankWithMoreProgramsThanSlotsLoadsTheSlots)
{
  Bytes bank = Patched(kParameterBank, 24, {0x00, 0x00, 0x00, 0x09});
  auto target = std::make_unique<ExtrasPlugin>(ExtrasConfig(false, 2, 2), LevelAndSteps);
  TempDir dir;
  ASSERT_TRUE(target->LoadBankFromFXB(dir.Write("nine.fxb", bank).c_str()));
  ASSERT_EQ(target->NPresets(), 2);
  EXPECT_EQ(Slots(target)[0], (SlotView{"Soft", true, {0.25, 2.0}}));
  EXPECT_EQ(Slots(target)[1], (SlotView{"Hard", true, {1.0, 4.0}}));
}

TEST(BankFile, PresetListRoundTripsThroughAChunk)
{
  const auto source = MadePlugin(true);
  IByteChunk chunk;
  chunk.Put(int32_t{7}); // something before the list
  ASSERT_TRUE(source->SerializePresets(chunk));

  auto target = FreshPlugin(true);
  EXPECT_EQ(target->UnserializePresets(chunk, 4), chunk.Size());
  EXPECT_EQ(Slots(target), Slots(source));
  EXPECT_EQ(target->UnserializePresets(chunk, chunk.Size()), -1);
}

} // namespace
} // namespace plugkit
