// Font files built in memory for the tests: small synthetic faces and collections of real faces.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace gfx_test {

using Bytes = std::vector<unsigned char>;

inline void PutU16(Bytes& b, size_t at, uint32_t v)
{
  b[at] = static_cast<unsigned char>(v >> 8);
  b[at + 1] = static_cast<unsigned char>(v);
}

inline void PutU32(Bytes& b, size_t at, uint32_t v)
{
  PutU16(b, at, v >> 16);
  PutU16(b, at + 2, v & 0xFFFF);
}

inline uint32_t GetU32(const Bytes& b, size_t at)
{
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

inline Bytes ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct NameRecord
{
  uint16_t platform, encoding, language, nameID;
  Bytes text; // as stored: bytes for Macintosh, UTF-16BE for Windows
};

inline Bytes UTF16BE(const std::vector<uint16_t>& units)
{
  Bytes b;
  for (uint16_t u : units)
  {
    b.push_back(static_cast<unsigned char>(u >> 8));
    b.push_back(static_cast<unsigned char>(u));
  }
  return b;
}

inline Bytes Latin(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A single-face sfnt with 'head', 'hhea' and 'name' only (enough for the font information).
inline Bytes MakeFont(uint16_t unitsPerEm, int16_t ascender, int16_t descender, const std::vector<NameRecord>& names)
{
  Bytes head(54, 0), hhea(36, 0);
  PutU16(head, 18, unitsPerEm);
  PutU16(head, 44, 1);
  PutU16(hhea, 4, static_cast<uint16_t>(ascender));
  PutU16(hhea, 6, static_cast<uint16_t>(descender));
  PutU16(hhea, 8, 7);

  Bytes name(6 + 12 * names.size(), 0);
  PutU16(name, 2, static_cast<uint32_t>(names.size()));
  PutU16(name, 4, static_cast<uint32_t>(name.size()));
  Bytes storage;
  for (size_t i = 0; i < names.size(); ++i)
  {
    const size_t r = 6 + 12 * i;
    const NameRecord& n = names[i];
    PutU16(name, r, n.platform);
    PutU16(name, r + 2, n.encoding);
    PutU16(name, r + 4, n.language);
    PutU16(name, r + 6, n.nameID);
    PutU16(name, r + 8, static_cast<uint32_t>(n.text.size()));
    PutU16(name, r + 10, static_cast<uint32_t>(storage.size()));
    storage.insert(storage.end(), n.text.begin(), n.text.end());
  }
  name.insert(name.end(), storage.begin(), storage.end());

  const std::pair<const char*, const Bytes*> tables[] = {{"head", &head}, {"hhea", &hhea}, {"name", &name}};
  Bytes font(12 + 16 * 3, 0);
  PutU32(font, 0, 0x00010000);
  PutU16(font, 4, 3);
  for (size_t i = 0; i < 3; ++i)
  {
    const size_t e = 12 + 16 * i;
    std::memcpy(&font[e], tables[i].first, 4);
    PutU32(font, e + 8, static_cast<uint32_t>(font.size()));
    PutU32(font, e + 12, static_cast<uint32_t>(tables[i].second->size()));
    font.insert(font.end(), tables[i].second->begin(), tables[i].second->end());
  }
  return font;
}

inline std::vector<NameRecord> WindowsNames(const std::string& family, const std::string& style)
{
  auto utf16 = [](const std::string& s) {
    std::vector<uint16_t> u(s.begin(), s.end());
    return UTF16BE(u);
  };
  return {{3, 1, 0x0409, 1, utf16(family)}, {3, 1, 0x0409, 2, utf16(style)}};
}

// A collection of whole single-face files, each face's table offsets moved to where it now lies.
inline Bytes MakeCollection(const std::vector<Bytes>& faces, uint32_t version = 0x00010000)
{
  Bytes ttc(12 + 4 * faces.size(), 0);
  std::memcpy(&ttc[0], "ttcf", 4);
  PutU32(ttc, 4, version);
  PutU32(ttc, 8, static_cast<uint32_t>(faces.size()));
  for (size_t f = 0; f < faces.size(); ++f)
  {
    while (ttc.size() % 4)
      ttc.push_back(0);
    const uint32_t base = static_cast<uint32_t>(ttc.size());
    PutU32(ttc, 12 + 4 * f, base);
    Bytes face = faces[f];
    const uint32_t numTables = (uint32_t{face[4]} << 8) | face[5];
    for (uint32_t t = 0; t < numTables; ++t)
      PutU32(face, 12 + 16 * t + 8, GetU32(face, 12 + 16 * t + 8) + base);
    ttc.insert(ttc.end(), face.begin(), face.end());
  }
  return ttc;
}

inline std::string RobotoPath(const char* file) { return std::string(VEMLOR_ROBOTO_DIR) + "/" + file; }
inline std::string RobotoMonoPath()
{
  return std::string(VEMLOR_NPM_DIR) + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf";
}
inline std::string IconFontPath()
{
  return std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/materialdesignicons-webfont.ttf";
}

} // namespace gfx_test
