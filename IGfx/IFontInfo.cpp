#include "IGfx/IFontInfo.h"

#include "IPlugin/UTF8.h"

#include <cstring>
#include <string>

namespace plugkit::gfx {

IFontInfo::IFontInfo(const unsigned char* data, uint32_t dataSize, int faceIdx) { Parse(data, dataSize, faceIdx); }

void IFontInfo::Parse(const unsigned char* data, uint32_t dataSize, int faceIdx)
{
  mData = data;
  mSize = data ? dataSize : 0;
  if (!mData || !FindFace(faceIdx))
  {
    mData = nullptr;
    return;
  }

  mHeadLocation = FindTable("head");
  mNameLocation = FindTable("name");
  mHheaLocation = FindTable("hhea");
  mFdscLocation = FindTable("fdsc");
  if (!mHeadLocation || !mNameLocation || !mHheaLocation)
    return;

  uint16_t ascender = 0, descender = 0, lineGap = 0;
  if (!ReadU16(uint64_t{mHeadLocation} + 18, mUnitsPerEM) || !ReadU16(uint64_t{mHeadLocation} + 44, mMacStyle) ||
      !ReadU16(uint64_t{mHheaLocation} + 4, ascender) || !ReadU16(uint64_t{mHheaLocation} + 6, descender) ||
      !ReadU16(uint64_t{mHheaLocation} + 8, lineGap))
  {
    mHeadLocation = 0;
    return;
  }
  mAscender = static_cast<int16_t>(ascender);
  mDescender = static_cast<int16_t>(descender);
  mLineGap = static_cast<int16_t>(lineGap);
  mEmBoxUsable = mUnitsPerEM > 0 && int{mAscender} - int{mDescender} > 0;

  mFamily = SearchFontString(1);
  mStyle = SearchFontString(2);
}

double IFontInfo::GetEmRatio() const
{
  if (!IsValid())
    return 1.0;
  return static_cast<double>(mUnitsPerEM) / (int{mAscender} - int{mDescender});
}

bool IFontInfo::ReadU16(uint64_t offset, uint16_t& value) const
{
  if (offset + 2 > mSize)
    return false;
  value = static_cast<uint16_t>((mData[offset] << 8) | mData[offset + 1]);
  return true;
}

bool IFontInfo::ReadU32(uint64_t offset, uint32_t& value) const
{
  if (offset + 4 > mSize)
    return false;
  value = (uint32_t{mData[offset]} << 24) | (uint32_t{mData[offset + 1]} << 16) | (uint32_t{mData[offset + 2]} << 8) |
          uint32_t{mData[offset + 3]};
  return true;
}

bool IFontInfo::FindFace(int faceIdx)
{
  if (mSize < 4 || faceIdx < 0)
    return false;
  const unsigned char* d = mData;
  const bool single = (d[0] == 0 && d[1] == 1 && d[2] == 0 && d[3] == 0) ||
                      (d[0] == '1' && d[1] == 0 && d[2] == 0 && d[3] == 0) || std::memcmp(d, "OTTO", 4) == 0 ||
                      std::memcmp(d, "typ1", 4) == 0;
  if (single)
  {
    mDirectory = 0;
    return faceIdx == 0;
  }
  if (std::memcmp(d, "ttcf", 4) != 0)
    return false;

  uint32_t version = 0, count = 0, offset = 0;
  if (!ReadU32(4, version) || (version != 0x00010000 && version != 0x00020000))
    return false;
  if (!ReadU32(8, count) || static_cast<uint32_t>(faceIdx) >= count)
    return false;
  if (!ReadU32(12 + 4 * uint64_t(faceIdx), offset))
    return false;
  mDirectory = offset;
  return true;
}

uint32_t IFontInfo::FindTable(const char tag[4]) const
{
  uint16_t numTables = 0;
  if (!ReadU16(uint64_t{mDirectory} + 4, numTables))
    return 0;
  for (uint32_t i = 0; i < numTables; ++i)
  {
    const uint64_t entry = uint64_t{mDirectory} + 12 + 16 * uint64_t{i};
    if (entry + 16 > mSize)
      return 0;
    if (std::memcmp(mData + entry, tag, 4) == 0)
    {
      uint32_t offset = 0;
      ReadU32(entry + 8, offset);
      // A table that starts beyond the data cannot be read; treating it as absent keeps later reads honest.
      return offset < mSize ? offset : 0;
    }
  }
  return 0;
}

TextString IFontInfo::GetFontString(int nameID, EStringID kind) const
{
  TextString result;
  if (!mData || !mNameLocation)
    return result;

  const uint64_t name = mNameLocation;
  uint16_t count = 0, storage = 0;
  if (!ReadU16(name + 2, count) || !ReadU16(name + 4, storage))
    return result;

  for (uint32_t i = 0; i < count; ++i)
  {
    const uint64_t rec = name + 6 + 12 * uint64_t{i};
    uint16_t platform, encoding, language, id, length, offset;
    if (!ReadU16(rec, platform) || !ReadU16(rec + 2, encoding) || !ReadU16(rec + 4, language) ||
        !ReadU16(rec + 6, id) || !ReadU16(rec + 8, length) || !ReadU16(rec + 10, offset))
      return result;

    const bool windows = platform == 3 && encoding == 1 && language == 0x0409;
    const bool mac = platform == 1 && encoding == 0 && language == 0;
    if (id != nameID || (kind == kWindows ? !windows : !mac))
      continue;

    const uint64_t start = name + storage + offset;
    if (start + length > mSize)
      return result;
    const unsigned char* bytes = mData + start;
    std::string text;
    if (kind == kMacintosh)
    {
      for (uint32_t j = 0; j < length && bytes[j]; ++j)
        text += static_cast<char>(bytes[j]);
    }
    else
    {
      const uint32_t units = length / 2;
      for (uint32_t j = 0; j < units; ++j)
      {
        uint32_t u = (uint32_t{bytes[2 * j]} << 8) | bytes[2 * j + 1];
        if (u == 0)
          break;
        if (u >= 0xD800 && u <= 0xDBFF && j + 1 < units)
        {
          const uint32_t lo = (uint32_t{bytes[2 * j + 2]} << 8) | bytes[2 * j + 3];
          if (lo >= 0xDC00 && lo <= 0xDFFF)
          {
            u = (u - 0xD800) * 0x400 + (lo - 0xDC00) + 0x10000;
            ++j;
          }
        }
        AppendUTF8(text, u);
      }
    }
    result.Set(text.c_str());
    return result;
  }
  return result;
}

TextString IFontInfo::SearchFontString(int nameID) const
{
  TextString s = GetFontString(nameID, kWindows);
  if (s.GetLength() == 0)
    s = GetFontString(nameID, kMacintosh);
  return s;
}

} // namespace plugkit::gfx
