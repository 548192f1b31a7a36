#include "IPlugin/IPluginParameter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <typeinfo>

#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"

namespace plugkit {

namespace {
// Cut to the field on a UTF-8 character boundary, so a long name never ends in half a character.
void CopyText(char (&dest)[IParam::kMaxTextLength], const char* src)
{
  size_t n = src ? strnlen(src, sizeof(dest) - 1) : 0;
  if (n == sizeof(dest) - 1 && src[n] != '\0')
    while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80)
      --n;
  std::memcpy(dest, src ? src : "", n);
  dest[n] = '\0';
}

// NaN (a degenerate range or shape) reads as 0.
double Clamp01(double v) { return v > 0.0 ? std::min(v, 1.0) : 0.0; }

// Whole within rounding error, so 0.07 * 10 * 10 counts as whole.
bool IsWhole(double v) { return std::abs(v - std::round(v)) <= 1e-9 * std::max(1.0, std::abs(v)); }

int PrecisionOfStep(double step)
{
  int precision = 0;
  while (!IsWhole(step) && precision < IParam::kMaxPrecision)
  {
    step *= 10.0;
    ++precision;
  }
  return precision;
}

// The leading decimal number of a text (after blanks and an optional "+"), 0 without one.
double LeadingNumber(const char* text)
{
  std::string_view rest = text ? text : "";
  double v = 0.0;
  return ReadNumber(rest, v) ? v : 0.0;
}
} // namespace

double IParam::ShapeLinear::NormalizedToValue(double normalized, const IParam& param) const
{
  return param.GetMin() + normalized * (param.GetMax() - param.GetMin());
}

double IParam::ShapeLinear::ValueToNormalized(double value, const IParam& param) const
{
  return (value - param.GetMin()) / (param.GetMax() - param.GetMin());
}

int IParam::ShapePowCurve::GetDisplayType() const
{
  if (mExponent > 2.5)
    return 6;
  if (mExponent > 1.5)
    return 4;
  if (mExponent < 0.4)
    return 5;
  if (mExponent < 2.0 / 3.0)
    return 3;
  return 0;
}

double IParam::ShapePowCurve::NormalizedToValue(double normalized, const IParam& param) const
{
  return param.GetMin() + (param.GetMax() - param.GetMin()) * std::pow(normalized, mExponent);
}

double IParam::ShapePowCurve::ValueToNormalized(double value, const IParam& param) const
{
  return std::pow((value - param.GetMin()) / (param.GetMax() - param.GetMin()), 1.0 / mExponent);
}

void IParam::ShapeExp::Init(const IParam& param)
{
  const double lo = param.GetMin() > 0.0 ? param.GetMin() : 1e-8;
  mAdd = std::log(lo);
  mMul = std::log(param.GetMax() / lo);
}

double IParam::ShapeExp::NormalizedToValue(double normalized, const IParam&) const
{
  return std::exp(mAdd + normalized * mMul);
}

double IParam::ShapeExp::ValueToNormalized(double value, const IParam&) const
{
  return (std::log(value) - mAdd) / mMul;
}

IParam::IParam()
  : mShape(std::make_unique<ShapeLinear>())
{}

void IParam::InitBool(const char* name, bool defaultValue, const char* label, int flags, const char* group,
                      const char* offText, const char* onText)
{
  if (mType == kTypeNone)
    mType = kTypeBool;
  InitDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, label, flags | kFlagStepped, group, ShapeLinear(),
             kUnitCustom, nullptr);
  SetDisplayText(0.0, offText);
  SetDisplayText(1.0, onText);
}

void IParam::InitEnum(const char* name, int defaultValue, const std::vector<std::string>& texts, int flags,
                      const char* group)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;
  const double count = static_cast<double>(texts.size());
  InitDouble(name, defaultValue, 0.0, count - 1.0, 1.0, "", flags | kFlagStepped, group, ShapeLinear(), kUnitCustom,
             nullptr);
  for (size_t i = 0; i < texts.size(); ++i)
    SetDisplayText(static_cast<double>(i), texts[i].c_str());
}

void IParam::InitInt(const char* name, int defaultValue, int minVal, int maxVal, const char* label, int flags,
                     const char* group, const Shape& shape)
{
  if (mType == kTypeNone)
    mType = kTypeInt;
  InitDouble(name, defaultValue, minVal, maxVal, 1.0, label, flags | kFlagStepped, group, shape, kUnitCustom, nullptr);
}

void IParam::InitDouble(const char* name, double defaultValue, double minVal, double maxVal, double step,
                        const char* label, int flags, const char* group, const Shape& shape, EParamUnit unit,
                        DisplayFunc displayFunc)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mType == kTypeNone)
    mType = kTypeDouble;
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);

  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  mDefault = defaultValue;
  mUnit = unit;
  mFlags = flags;
  mDisplayFunc = std::move(displayFunc);
  mParseFunc = nullptr; // it read the texts of the display function just replaced

  mDisplayPrecision = PrecisionOfStep(step);
  mShape = shape.Clone();
  mShape->Init(*this);
  // The default can only be constrained once the range and flags are in place.
  mValue.store(Constrain(defaultValue), std::memory_order_relaxed);
}

void IParam::SetDisplayText(double value, const char* text)
{
  DisplayText entry{value, {}};
  CopyText(entry.text, text);
  mDisplayTexts.push_back(entry);
}

const char* IParam::GetDisplayText(double value) const
{
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.value == value)
      return entry.text;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, double* value) const
{
  if (idx < 0 || idx >= NDisplayTexts())
    return "";
  if (value)
    *value = mDisplayTexts[static_cast<size_t>(idx)].value;
  return mDisplayTexts[static_cast<size_t>(idx)].text;
}

double IParam::Constrain(double plain) const
{
  if (std::isnan(plain))
    plain = mDefault;
  if ((mFlags & kFlagStepped) && mStep > 0.0)
    plain = std::round(plain / mStep) * mStep;
  return plain < mMin ? mMin : (plain > mMax ? mMax : plain);
}

double IParam::ToNormalized(double plain) const { return Clamp01(mShape->ValueToNormalized(Constrain(plain), *this)); }

double IParam::FromNormalized(double normalized) const
{
  return Constrain(mShape->NormalizedToValue(normalized, *this));
}

IParam::EShapeID IParam::GetShapeID() const
{
  if (!mShape)
    return kShapeUnknown;
  const Shape& shape = *mShape;
  const std::type_info& type = typeid(shape);
  if (type == typeid(ShapeLinear))
    return kShapeLinear;
  if (type == typeid(ShapePowCurve))
    return kShapePowCurve;
  if (type == typeid(ShapeExp))
    return kShapeExponential;
  return kShapeUnknown;
}

const char* IParam::GetLabel() const
{
  // Truncated as a double, so a huge value cannot overflow an integer.
  return *GetDisplayText(std::trunc(Value())) ? "" : mLabel;
}

void IParam::GetDisplay(double value, bool normalized, TextString& display, bool withDisplayText) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (normalized)
    value = FromNormalized(value);

  if (mDisplayFunc)
  {
    mDisplayFunc(value, display);
    return;
  }

  if (withDisplayText)
  {
    const char* text = GetDisplayText(value);
    if (*text)
    {
      display.Set(text);
      return;
    }
  }

  const double shown = (mFlags & kFlagNegateDisplay) && value != 0.0 ? -value : value;
  char text[kMaxTextLength];
  if (mDisplayPrecision == 0)
  {
    const double rounded = std::round(shown);
    if (std::abs(rounded) < 2147483648.0)
      std::snprintf(text, sizeof(text), "%d", static_cast<int>(rounded));
    else
      std::snprintf(text, sizeof(text), "%.0f", rounded);
  }
  else if ((mFlags & kFlagSignDisplay) && shown != 0.0)
    std::snprintf(text, sizeof(text), "%+.*f", mDisplayPrecision, shown);
  else
    std::snprintf(text, sizeof(text), "%.*f", mDisplayPrecision, shown);
  display.Set(text);
}

void IParam::GetDisplayWithLabel(TextString& display, bool withDisplayText) const
{
  GetDisplay(Value(), false, display, withDisplayText);
  const char* label = GetLabel();
  if (*label)
  {
    display.Append(" ");
    display.Append(label);
  }
}

double IParam::StringToValue(const char* text) const
{
  if (text)
    for (const DisplayText& entry : mDisplayTexts)
      if (std::strcmp(entry.text, text) == 0)
        return entry.value;

  if (mType == kTypeBool || mType == kTypeEnum)
    return 0.0;

  double v = LeadingNumber(text);
  if (mFlags & kFlagNegateDisplay)
    v = -v;
  return Constrain(v);
}

std::optional<double> IParam::ReadDisplay(std::string_view text) const
{
  for (const DisplayText& entry : mDisplayTexts)
    if (*entry.text && text == entry.text)
      return entry.value;
  for (const DisplayText& entry : mDisplayTexts)
    if (*entry.text && SameText(text, entry.text))
      return entry.value;

  if (mParseFunc)
  {
    const std::optional<double> v = mParseFunc(text);
    return v ? std::optional<double>(Constrain(*v)) : std::nullopt;
  }
  if (mType == kTypeBool || mType == kTypeEnum)
    return std::nullopt;

  std::string_view rest = text;
  double v = 0.0;
  if (!ReadNumber(rest, v))
    return std::nullopt;
  if (*mLabel)
    ReadWord(rest, mLabel);
  if (!AtEnd(rest))
    return std::nullopt;
  if (mFlags & kFlagNegateDisplay)
    v = -v;
  return Constrain(v);
}

} // namespace plugkit
