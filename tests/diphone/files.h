// Small rule, exceptions, index and sound files written by the tests
// themselves, in a fresh folder per test.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testfiles {

inline std::filesystem::path FreshDir(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("sonaris-diphone-" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

inline void PutLittle(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct Unit {
  std::string name;  // upper case, at most 8 characters
  uint16_t length;
  uint8_t sample;  // every sample of the unit has this value
};

// Writes NAME.IND (sorted) and NAME.DIF for the given units.
inline void WriteDatabase(const std::filesystem::path& dir, const std::string& base,
                          std::vector<Unit> units) {
  std::sort(units.begin(), units.end(),
            [](const Unit& a, const Unit& b) { return a.name < b.name; });
  std::string ind, dif;
  for (const Unit& u : units) {
    ind += static_cast<char>(u.name.size());
    ind += u.name + std::string(8 - u.name.size(), '\0');
    PutLittle(ind, u.length, 2);
    PutLittle(ind, static_cast<uint32_t>(dif.size()), 4);
    dif += std::string(u.length, static_cast<char>(u.sample));
  }
  Write(dir / (base + ".IND"), ind);
  Write(dir / (base + ".DIF"), dif);
}

// A RIFF/WAVE file of 8-bit mono samples, with an extra chunk before the
// data so that readers must walk the chunks.
inline void WriteWave(const std::filesystem::path& path, size_t samples, uint8_t value) {
  std::string w = "RIFF";
  PutLittle(w, static_cast<uint32_t>(36 + 12 + samples), 4);
  w += "WAVEfmt ";
  PutLittle(w, 16, 4);
  PutLittle(w, 1, 2);
  PutLittle(w, 1, 2);
  PutLittle(w, 11025, 4);
  PutLittle(w, 11025, 4);
  PutLittle(w, 1, 2);
  PutLittle(w, 8, 2);
  w += "LIST";
  PutLittle(w, 4, 4);
  w += "INFO";
  w += "data";
  PutLittle(w, static_cast<uint32_t>(samples), 4);
  w += std::string(samples, static_cast<char>(value));
  Write(path, w);
}

}  // namespace testfiles
