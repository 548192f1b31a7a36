// The parameter's convenience initialisers, display-text accessors and JSON description.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"

namespace plugkit {

namespace {
constexpr int kMaxJSONPiece = 8192;

// JSON string contents: quotes, backslashes and control characters escaped, everything else as it is.
std::string EscapeJSON(const char* text)
{
  std::string out;
  for (const char* p = text; *p; ++p)
  {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\')
    {
      out += '\\';
      out += static_cast<char>(c);
    }
    else if (c < 0x20)
    {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
      out += escaped;
    }
    else
      out += static_cast<char>(c);
  }
  return out;
}

// JSON has no infinities or NaN.
void AppendJSONNumber(TextString& json, const char* key, double value)
{
  if (std::isfinite(value))
    json.AppendFormatted(kMaxJSONPiece, "\"%s\":%f, ", key, value);
  else
    json.AppendFormatted(kMaxJSONPiece, "\"%s\":null, ", key);
}

// Floor division and modulo, so notes below 0 still name a note and an octave.
int FloorDiv(int a, int b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }
} // namespace

void IParam::InitFrequency(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags,
                           const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, step, "Hz", flags, group, ShapeExp(), kUnitFrequency);
}

void IParam::InitSeconds(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags,
                         const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, step, "Seconds", flags, group, ShapeLinear(), kUnitSeconds);
}

void IParam::InitMilliseconds(const char* name, double defaultValue, double minVal, double maxVal, int flags,
                              const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, 1.0, "ms", flags, group, ShapeLinear(), kUnitMilliseconds);
}

void IParam::InitGain(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags,
                      const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, step, "dB", flags, group, ShapeLinear(), kUnitDB);
}

void IParam::InitPercentage(const char* name, double defaultValue, double minVal, double maxVal, int flags,
                            const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, 1.0, "%", flags, group, ShapeLinear(), kUnitPercentage);
}

void IParam::InitAngleDegrees(const char* name, double defaultValue, double minVal, double maxVal, int flags,
                              const char* group)
{
  InitDouble(name, defaultValue, minVal, maxVal, 1.0, "degrees", flags, group, ShapeLinear(), kUnitDegrees);
}

void IParam::InitEnumWithTexts(const char* name, int defaultValue, int nEnums, const char* label, int flags,
                               const char* group, const char* firstText, std::initializer_list<const char*> moreTexts)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;
  InitDouble(name, defaultValue, 0.0, nEnums - 1.0, 1.0, label, flags | kFlagStepped, group, ShapeLinear(),
             kUnitCustom);
  if (!firstText)
    return;
  SetDisplayText(0.0, firstText);
  int value = 1;
  for (const char* text : moreTexts)
  {
    if (value >= nEnums)
      break;
    SetDisplayText(value++, text);
  }
}

void IParam::InitPitch(const char* name, int defaultValue, int lowestNote, int highestNote, int flags,
                       const char* group, bool middleCIsC4)
{
  static constexpr const char* kNoteNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ",
                                                 "F#", "G ", "G#", "A ", "A#", "B "};
  if (mType == kTypeNone)
    mType = kTypeEnum;
  InitDouble(name, defaultValue, 0.0, highestNote - lowestNote, 1.0, "", flags | kFlagStepped, group, ShapeLinear(),
             kUnitCustom);
  for (int note = lowestNote; note <= highestNote; ++note)
  {
    const int octave = FloorDiv(note, 12) - (middleCIsC4 ? 1 : 2);
    const int pitchClass = note - 12 * FloorDiv(note, 12);
    char text[kMaxTextLength];
    std::snprintf(text, sizeof(text), "%s%i", kNoteNames[pitchClass], octave);
    SetDisplayText(note - lowestNote, text);
  }
}

void IParam::Init(const IParam& other, const char* searchStr, const char* replaceStr, const char* newGroup)
{
  if (mType == kTypeNone)
    mType = other.Type();

  std::string name = other.GetName();
  if (searchStr && *searchStr)
    if (const size_t at = name.find(searchStr); at != std::string::npos)
      name.replace(at, std::strlen(searchStr), replaceStr ? replaceStr : "");
  // Copies first: other may be this parameter itself.
  const std::string group = newGroup && *newGroup ? newGroup : other.GetGroup();
  const std::string label = other.mLabel;
  const std::vector<DisplayText> texts = other.mDisplayTexts;

  InitDouble(name.c_str(), other.GetDefault(), other.GetMin(), other.GetMax(), other.GetStep(), label.c_str(),
             other.GetFlags(), group.c_str(),
             other.GetShape() ? *other.GetShape() : static_cast<const Shape&>(ShapeLinear()), other.Unit(),
             other.mDisplayFunc);
  mDisplayTexts.insert(mDisplayTexts.end(), texts.begin(), texts.end());
}

bool IParam::MapDisplayText(const char* text, double* value) const
{
  if (!text)
    return false;
  for (const DisplayText& entry : mDisplayTexts)
    if (std::strcmp(entry.text, text) == 0)
    {
      if (value)
        *value = entry.value;
      return true;
    }
  return false;
}

void IParam::SetDisplayPrecision(int precision)
{
  mDisplayPrecision = precision < 0 ? 0 : (precision > kMaxPrecision ? kMaxPrecision : precision);
}

double IParam::GetShapeValue() const
{
  const auto* curve = dynamic_cast<const ShapePowCurve*>(mShape.get());
  return curve ? curve->GetExponent() : 0.0;
}

void IParam::GetJSON(TextString& json, int id) const
{
  json.Append("{");
  json.AppendFormatted(kMaxJSONPiece, "\"id\":%i, ", id);
  json.AppendFormatted(kMaxJSONPiece, "\"name\":\"%s\", ", EscapeJSON(GetName()).c_str());
  static constexpr const char* kTypeNames[] = {nullptr, "bool", "int", "enum", "float"};
  if (mType > kTypeNone && mType <= kTypeDouble)
    json.AppendFormatted(kMaxJSONPiece, "\"type\":\"%s\", ", kTypeNames[mType]);
  AppendJSONNumber(json, "min", GetMin());
  AppendJSONNumber(json, "max", GetMax());
  AppendJSONNumber(json, "default", GetDefault());
  json.AppendFormatted(kMaxJSONPiece, "\"display_type\":%i, ", mShape ? mShape->GetDisplayType() : 0);
  json.Append("\"rate\":\"control\"");
  json.Append("}");
}

} // namespace plugkit
