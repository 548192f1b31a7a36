// Alternative control ids: the controls of the user tab that stand for no single parameter, and the
// names by which stored layouts refer to them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vemlor::ui {

struct AltName
{
  int32_t id;
  std::string_view token;
};

// 10000 to 10017 and 10100 to 10108; ids of those ranges that no row has name no control.
// 10000 and 10001 convert but have no control of their own.
inline constexpr std::array<AltName, 23> kAltNames = {{
  {10000, "kAlt_BreakXY"},
  {10001, "kAlt_DriveXY"},
  {10100, "kAlt_LabelFreq"},
  {10101, "kAlt_LabelRes"},
  {10102, "kAlt_LabelMain"},
  {10103, "kAlt_LabelPreA"},
  {10104, "kAlt_LabelPreB"},
  {10105, "kAlt_LabelMainFreq"},
  {10106, "kAlt_LabelPreAFreq"},
  {10107, "kAlt_LabelPreBFreq"},
  {10108, "kAlt_LabelDamping"},
  {10004, "kAlt_BlockMainCutoffNotes"},
  {10005, "kAlt_BlockMainCutoffGlide"},
  {10006, "kAlt_BlockMainCutoffCC"},
  {10008, "kAlt_BlockPreACutoffNotes"},
  {10009, "kAlt_BlockPreACutoffGlide"},
  {10010, "kAlt_BlockPreACutoffCC"},
  {10012, "kAlt_BlockPreBCutoffNotes"},
  {10013, "kAlt_BlockPreBCutoffGlide"},
  {10014, "kAlt_BlockPreBCutoffCC"},
  {10015, "kAlt_MainStageCoeffs"},
  {10016, "kAlt_PreAStageCoeffs"},
  {10017, "kAlt_PreBStageCoeffs"},
}};

// Any thread. The row's token; empty for an id no row has.
std::string_view altNameFromId(int id);
// Any thread. The id of the row whose token is exactly token (case and blanks count); -1 otherwise.
int altIdFromName(std::string_view token);

} // namespace vemlor::ui
