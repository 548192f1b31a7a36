#include "IPlugin/IMidiMsg.h"

#include <array>
#include <string_view>
#include <utility>

namespace plugkit {

namespace {

constexpr int kNameLen = 16;
using CCNameTable = std::array<std::array<char, kNameLen>, 128>;

constexpr void CopyName(std::array<char, kNameLen>& dest, std::string_view name)
{
  for (size_t i = 0; i < name.size() && i + 1 < dest.size(); ++i)
    dest[i] = name[i];
}

// Every controller without a name of its own is titled "Contr. " and its number.
constexpr CCNameTable MakeCCNames()
{
  CCNameTable table{};
  for (int i = 0; i < 128; ++i)
  {
    CopyName(table[i], "Contr. ");
    int pos = 7;
    if (i >= 100)
      table[i][pos++] = static_cast<char>('0' + i / 100);
    if (i >= 10)
      table[i][pos++] = static_cast<char>('0' + (i / 10) % 10);
    table[i][pos] = static_cast<char>('0' + i % 10);
  }
  constexpr std::pair<int, std::string_view> kNamed[] = {
    {0, "BankSel.MSB"},   {1, "Modulation"},   {2, "BreathCtrl"},   {4, "Foot Ctrl"},    {5, "Porta.Time"},
    {6, "DataEntMSB"},    {7, "MainVolume"},   {8, "Balance"},      {10, "Pan"},         {11, "Expression"},
    {12, "FXControl1"},   {13, "FXControl2"},  {16, "Gen.Purp.1"},  {17, "Gen.Purp.2"},  {18, "Gen.Purp.3"},
    {19, "Gen.Purp.4"},   {32, "BankSel.LSB"}, {33, "Modul. LSB"},  {34, "BrthCt LSB"},  {36, "FootCt LSB"},
    {37, "Port.T LSB"},   {38, "DataEntLSB"},  {39, "MainVolLSB"},  {40, "BalanceLSB"},  {42, "Pan LSB"},
    {43, "Expr. LSB"},    {48, "Gen.P.1LSB"},  {49, "Gen.P.2LSB"},  {50, "Gen.P.3LSB"},  {51, "Gen.P.4LSB"},
    {64, "Damper Ped"},   {65, "Porta. Ped"},  {66, "Sostenuto "},  {67, "Soft Pedal"},  {68, "Legato Sw"},
    {69, "Hold 2"},       {70, "SoundCont 1"}, {71, "SoundCont 2"}, {72, "SoundCont 3"}, {73, "SoundCont 4"},
    {74, "SoundCont 5"},  {75, "SoundCont 6"}, {76, "SoundCont 7"}, {77, "SoundCont 8"}, {78, "SoundCont 9"},
    {79, "SoundCont 10"}, {80, "Gen.Purp.5"},  {81, "Gen.Purp.6"},  {82, "Gen.Purp.7"},  {83, "Gen.Purp.8"},
    {84, "Portamento"},   {91, "FX 1 Depth"},  {92, "FX 2 Depth"},  {93, "FX 3 Depth"},  {94, "FX 4 Depth"},
    {95, "FX 5 Depth"},   {96, "Data Incr"},   {97, "Data Decr"},   {98, "Non-RegLSB"},  {99, "Non-RegMSB"},
    {100, "Reg LSB"},     {101, "Reg MSB"},    {121, "Reset Ctrl"}, {122, "Local Ctrl"}, {123, "AllNoteOff"},
    {124, "OmniModOff"},  {125, "OmniModeOn"}, {126, "MonoModeOn"}, {127, "PolyModeOn"},
  };
  for (const auto& [idx, name] : kNamed)
  {
    table[idx] = {};
    CopyName(table[idx], name);
  }
  return table;
}

constexpr CCNameTable kCCNames = MakeCCNames();

} // namespace

const char* IMidiMsg::CCNameStr(int idx)
{
  if (idx < 0 || idx >= static_cast<int>(kCCNames.size()))
    return "";
  return kCCNames[idx].data();
}

} // namespace plugkit
