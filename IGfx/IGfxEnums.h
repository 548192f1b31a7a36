// The graphics framework's enumerations; their numbers are stored or passed to platforms as they are.
#pragma once

#include <cstdint>

namespace plugkit::gfx {

enum class ECursor : int32_t
{
  ARROW = 0,
  IBEAM,
  WAIT,
  CROSS,
  UPARROW,
  SIZENWSE,
  SIZENESW,
  SIZEWE,
  SIZENS,
  SIZEALL,
  INO,
  HAND,
  APPSTARTING,
  HELP
};

enum class EUIResizerMode : int32_t
{
  Scale = 0,
  Size = 1
};

enum class EUIAppearance : int32_t
{
  Light = 0,
  Dark = 1
};

enum class EDirection : int32_t
{
  Vertical = 0,
  Horizontal = 1
};

enum class EWinding : int32_t
{
  CW = 0,
  CCW = 1
};

enum class ETextStyle : int32_t
{
  Normal = 0,
  Bold = 1,
  Italic = 2
};

enum class EAlign : int32_t
{
  Near = 0,
  Center = 1,
  Far = 2
};

enum class EVAlign : int32_t
{
  Top = 0,
  Middle = 1,
  Bottom = 2
};

// Compositing of a drawing call: 0 draws over what is there.
enum class EBlend : int32_t
{
  Default = 0,
  SrcIn = 1,
  SrcOut = 2,
  SrcAtop = 3,
  DstOver = 4,
  DstIn = 5,
  DstOut = 6,
  DstAtop = 7,
  Add = 8,
  XOR = 9
};

enum class EPatternType : int32_t
{
  Solid = 0,
  Linear = 1,
  Radial = 2
};

enum class EPatternExtend : int32_t
{
  None = 0,
  Pad = 1,
  Reflect = 2,
  Repeat = 3
};

// Preserve keeps the winding PathSetWinding gave each sub-path.
enum class EFillRule : int32_t
{
  Winding = 0,
  EvenOdd = 1,
  Preserve = 2
};

enum class ELineCap : int32_t
{
  Butt = 0,
  Round = 1,
  Square = 2
};

enum class ELineJoin : int32_t
{
  Miter = 0,
  Round = 1,
  Bevel = 2
};

enum class EGestureType : int32_t
{
  Unknown = 0,
  DoubleTap,
  TripleTap,
  LongPress1,
  LongPress2,
  SwipeLeft,
  SwipeRight,
  SwipeUp,
  SwipeDown,
  Pinch,
  Rotate,
  Pan
};

enum class EMsgBoxType : int32_t
{
  OK = 0,
  OKCancel = 1,
  AbortRetryIgnore = 2,
  YesNoCancel = 3,
  YesNo = 4,
  RetryCancel = 5
};

enum class EMsgBoxResult : int32_t
{
  Null = 0,
  OK = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7
};

enum class EFileAction : int32_t
{
  Open = 0,
  Save = 1
};

// Where a resource file was found; NotFound = 0.
enum class EResourceLocation : int32_t
{
  NotFound = 0,
  AbsolutePath = 1,
  WinResource = 2,
  PreloadedTexture = 3
};

enum class EVShape : int32_t
{
  Rectangle = 0,
  Ellipse = 1,
  Triangle = 2,
  RoundedEnds = 3,
  RoundedSides = 4
};

enum class ELabelPosition : int32_t
{
  Top = 0,
  Right = 1,
  Bottom = 2,
  Left = 3
};

// The slots of a vector control's colour set.
enum class EVColor : int32_t
{
  BG = 0,
  FG,
  PR,
  FR,
  HL,
  SH,
  X1,
  X2,
  X3
};
inline constexpr int kNumVColors = 9;

} // namespace plugkit::gfx
