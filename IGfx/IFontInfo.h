// Reads the names and vertical metrics of one face of a TrueType/OpenType file or collection.
#pragma once

#include <cstdint>

#include "IPlugin/TextString.h"

namespace plugkit::gfx {

// Any thread; reads only. Every read is checked against the data's size: a table, record or string
// that does not fit makes the font not valid or the string empty. The data must outlive the object.
class IFontInfo
{
public:
  enum EStringID
  {
    kMacintosh = 0,
    kWindows = 1
  };

  IFontInfo(const unsigned char* data, uint32_t dataSize, int faceIdx);

  // The face exists, has 'head', 'name' and 'hhea', and a usable em box (units per em and
  // ascender − descender both above 0), so sizes derived from it are finite.
  bool IsValid() const { return mData && mHeadLocation && mNameLocation && mHheaLocation && mEmBoxUsable; }

  const TextString& GetFamily() const { return mFamily; }
  const TextString& GetStyle() const { return mStyle; }
  uint16_t GetMacStyle() const { return mMacStyle; }
  uint16_t GetUnitsPerEM() const { return mUnitsPerEM; }
  int16_t GetAscender() const { return mAscender; }
  int16_t GetDescender() const { return mDescender; }
  int16_t GetLineGap() const { return mLineGap; }
  // Units per em over ascender − descender; 1.0 for a font that is not valid.
  double GetEmRatio() const;

  // The name record of that id as UTF-8: the Windows one, else the Macintosh one.
  TextString SearchFontString(int nameID) const;
  TextString GetFontString(int nameID, EStringID kind) const;

protected:
  IFontInfo() = default;
  void Parse(const unsigned char* data, uint32_t dataSize, int faceIdx);

private:
  bool FindFace(int faceIdx);
  bool ReadU16(uint64_t offset, uint16_t& value) const;
  bool ReadU32(uint64_t offset, uint32_t& value) const;
  uint32_t FindTable(const char tag[4]) const;

  const unsigned char* mData = nullptr; // start of the whole file, or null without a usable face
  uint32_t mSize = 0;
  uint32_t mDirectory = 0; // offset of the face's table directory
  uint32_t mHeadLocation = 0;
  uint32_t mNameLocation = 0;
  uint32_t mHheaLocation = 0;
  uint32_t mFdscLocation = 0;
  TextString mFamily;
  TextString mStyle;
  uint16_t mMacStyle = 0;
  uint16_t mUnitsPerEM = 0;
  int16_t mAscender = 0;
  int16_t mDescender = 0;
  int16_t mLineGap = 0;
  bool mEmBoxUsable = false;
};

} // namespace plugkit::gfx
