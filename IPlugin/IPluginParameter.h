// One plug-in parameter: kind, range, step, shape, display texts and its atomic plain value.
#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "IPlugin/TextString.h"

namespace plugkit {

// Initialised on the main thread while the plug-in is constructed; afterwards only the value changes.
// Value loads and stores are atomic and may happen on any thread; every other call is main thread
// (the text operations allocate).
class IParam
{
public:
  enum EParamType
  {
    kTypeNone = 0,
    kTypeBool = 1,
    kTypeInt = 2,
    kTypeEnum = 3,
    kTypeDouble = 4
  };

  // Codes handed to hosts as they are.
  enum EParamUnit
  {
    kUnitPercentage = 0,
    kUnitSeconds = 1,
    kUnitMilliseconds = 2,
    kUnitDB = 4,
    kUnitDegrees = 8,
    kUnitFrequency = 12,
    kUnitCustom = 21
  };

  enum EFlags
  {
    kFlagsNone = 0,
    kFlagCannotAutomate = 1,
    kFlagStepped = 2,
    kFlagNegateDisplay = 4, // the text shows and parses the negated value
    kFlagSignDisplay = 8,   // positive values show a plus sign
    kFlagMeta = 16          // its changes set other parameters; stored only
  };

  enum EShapeID
  {
    kShapeLinear = 0,
    kShapePowCurve = 1,
    kShapeExponential = 2,
    kShapeUnknown = 3
  };

  static constexpr int kMaxTextLength = 32; // name, label, group and display texts, terminator included
  static constexpr int kMaxPrecision = 6;

  // Mapping between the plain value and the normalised 0..1 value.
  class Shape
  {
  public:
    virtual ~Shape() = default;
    virtual std::unique_ptr<Shape> Clone() const = 0;
    // Called with the owning parameter once the shape is attached to it.
    virtual void Init(const IParam&) {}
    // Display-type code for hosts.
    virtual int GetDisplayType() const = 0;
    virtual double NormalizedToValue(double normalized, const IParam& param) const = 0;
    virtual double ValueToNormalized(double value, const IParam& param) const = 0;
  };

  class ShapeLinear : public Shape
  {
  public:
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapeLinear>(*this); }
    int GetDisplayType() const override { return 0; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
  };

  // value = min + (max - min) * normalized^exponent
  class ShapePowCurve : public Shape
  {
  public:
    explicit ShapePowCurve(double exponent)
      : mExponent(exponent)
    {}
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapePowCurve>(*this); }
    int GetDisplayType() const override;
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
    double GetExponent() const { return mExponent; }

  private:
    double mExponent;
  };

  // value = exp(offset + normalized * multiplier), spanning max(min, 1e-8)..max.
  class ShapeExp : public Shape
  {
  public:
    std::unique_ptr<Shape> Clone() const override { return std::make_unique<ShapeExp>(*this); }
    void Init(const IParam& param) override;
    int GetDisplayType() const override { return 1; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;

  private:
    double mMul = 1.0;
    double mAdd = 0.0;
  };

  // Formats a plain value; when set, it makes every display text of the parameter.
  using DisplayFunc = std::function<void(double value, TextString& display)>;
  // Reads a text back to a plain value (before constraining); nothing when the text names no value.
  using ParseFunc = std::function<std::optional<double>(std::string_view text)>;

  IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // The Init operations set the type only while it is still none, so an outer initialiser's type
  // survives the InitDouble it calls. Texts longer than 31 bytes are cut.
  void InitBool(const char* name, bool defaultValue, const char* label = "", int flags = 0, const char* group = "",
                const char* offText = "off", const char* onText = "on");
  void InitEnum(const char* name, int defaultValue, const std::vector<std::string>& texts, int flags = 0,
                const char* group = "");
  void InitInt(const char* name, int defaultValue, int minVal, int maxVal, const char* label = "", int flags = 0,
               const char* group = "", const Shape& shape = ShapeLinear());
  void InitDouble(const char* name, double defaultValue, double minVal, double maxVal, double step,
                  const char* label = "", int flags = 0, const char* group = "", const Shape& shape = ShapeLinear(),
                  EParamUnit unit = kUnitCustom, DisplayFunc displayFunc = nullptr);

  // The inverse of the display function: how ReadDisplay reads texts. Set it after InitDouble, which
  // drops the previous one. Main thread, while constructing.
  void SetParseFunc(ParseFunc parseFunc) { mParseFunc = std::move(parseFunc); }
  // Convenience initialisers: fixed unit, label and shape, no display function.
  void InitFrequency(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags = 0,
                     const char* group = "");
  void InitSeconds(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags = 0,
                   const char* group = "");
  void InitMilliseconds(const char* name, double defaultValue, double minVal, double maxVal, int flags = 0,
                        const char* group = "");
  void InitGain(const char* name, double defaultValue, double minVal, double maxVal, double step, int flags = 0,
                const char* group = "");
  void InitPercentage(const char* name, double defaultValue, double minVal, double maxVal, int flags = 0,
                      const char* group = "");
  void InitAngleDegrees(const char* name, double defaultValue, double minVal, double maxVal, int flags = 0,
                        const char* group = "");

  // nEnums values 0..nEnums-1; with a first text, the texts name values 0, 1, ... in order (texts
  // beyond nEnums are ignored, values without one display as numbers). A null first text adds none.
  template <typename... MoreTexts>
  void InitEnum(const char* name, int defaultValue, int nEnums, const char* label = "", int flags = 0,
                const char* group = "", const char* firstText = nullptr, MoreTexts... moreTexts)
  {
    static_assert((std::is_convertible_v<MoreTexts, const char*> && ...), "display texts are C strings");
    InitEnumWithTexts(name, defaultValue, nEnums, label, flags, group, firstText,
                      {static_cast<const char*>(moreTexts)...});
  }
  // Values 0..highest-lowest named by note and octave ("C#3"): octaves counted with middle C (60)
  // as C4 when middleCIsC4, else as C3. The default is a value, not a note number.
  void InitPitch(const char* name, int defaultValue, int lowestNote, int highestNote, int flags = 0,
                 const char* group = "", bool middleCIsC4 = false);
  // A copy of other: its name with the first searchStr replaced by replaceStr, its group or newGroup
  // when given, its range, shape, unit, display function and display texts.
  void Init(const IParam& other, const char* searchStr = "", const char* replaceStr = "", const char* newGroup = "");

  // Appends a text for an exact plain value.
  void SetDisplayText(double value, const char* text);
  // The value of the first entry whose text equals text exactly; false (value untouched) without one.
  bool MapDisplayText(const char* text, double* value) const;
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  // The text of the first entry for exactly this value, else the empty text.
  const char* GetDisplayText(double value) const;
  // The text of entry idx (and its value when asked); the empty text for an index outside the list.
  const char* GetDisplayTextAtIdx(int idx, double* value = nullptr) const;

  // Any thread.
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  void Set(double plain) { mValue.store(Constrain(plain), std::memory_order_relaxed); }
  void SetNormalized(double normalized) { Set(FromNormalized(normalized)); }
  // Stores the constrained value and returns the one it replaced.
  double Exchange(double plain) { return mValue.exchange(Constrain(plain), std::memory_order_relaxed); }
  double GetNormalized() const { return ToNormalized(Value()); }

  // Stepped rounding (halves away from zero), then clamping to min..max; NaN gives the default.
  double Constrain(double plain) const;
  // Constrained, mapped by the shape, clamped to 0..1.
  double ToNormalized(double plain) const;
  // Mapped by the shape, constrained.
  double FromNormalized(double normalized) const;

  EParamType Type() const { return mType; }
  EParamUnit Unit() const { return mUnit; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }
  double GetStep() const { return mStep; }
  // The default as given to the initialiser; normalised, it is constrained first.
  double GetDefault(bool normalized = false) const { return normalized ? ToNormalized(mDefault) : mDefault; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  // Decimals of the default formatting, 0..kMaxPrecision.
  void SetDisplayPrecision(int precision);
  void GetBounds(double& lo, double& hi) const
  {
    lo = mMin;
    hi = mMax;
  }
  // The exponent of a power-curve shape; 0 for any other shape.
  double GetShapeValue() const;
  // Appends a one-line JSON object describing the parameter under the index id.
  void GetJSON(TextString& json, int id) const;
  int GetFlags() const { return mFlags; }
  bool GetCanAutomate() const { return !(mFlags & kFlagCannotAutomate); }
  bool GetStepped() const { return mFlags & kFlagStepped; }
  bool GetNegateDisplay() const { return mFlags & kFlagNegateDisplay; }
  bool GetSignDisplay() const { return mFlags & kFlagSignDisplay; }
  bool GetMeta() const { return mFlags & kFlagMeta; }
  const Shape* GetShape() const { return mShape.get(); }
  EShapeID GetShapeID() const;

  const char* GetName() const { return mName; }
  const char* GetGroup() const { return mGroup; }
  // Empty while the current value (truncated) has a non-empty display text; otherwise the label.
  const char* GetLabel() const;

  // Replaces display's content with the text for a plain (or normalised) value.
  void GetDisplay(double value, bool normalized, TextString& display, bool withDisplayText = true) const;
  // The current value's display, then a blank and the label when there is one.
  void GetDisplayWithLabel(TextString& display, bool withDisplayText = true) const;
  // The plain value a text stands for: an exact display text, else its leading number (0 without one).
  double StringToValue(const char* text) const;
  // The constrained plain value a typed or shown text stands for: a display text (exact, else in any
  // letter case), else what the parse function reads, else a number optionally followed by the label.
  // Nothing for any other text, and for a number on a bool or enum parameter.
  std::optional<double> ReadDisplay(std::string_view text) const;

private:
  void InitEnumWithTexts(const char* name, int defaultValue, int nEnums, const char* label, int flags,
                         const char* group, const char* firstText, std::initializer_list<const char*> moreTexts);

  struct DisplayText
  {
    double value;
    char text[kMaxTextLength];
  };

  EParamType mType = kTypeNone;
  EParamUnit mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  int mFlags = 0;
  char mName[kMaxTextLength] = {};
  char mLabel[kMaxTextLength] = {};
  char mGroup[kMaxTextLength] = {};
  std::unique_ptr<Shape> mShape;
  DisplayFunc mDisplayFunc;
  ParseFunc mParseFunc;
  std::vector<DisplayText> mDisplayTexts;
};

} // namespace plugkit
