// Small rule, exceptions, index and sound files written by the tests
// themselves, in a fresh folder per test.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/riff.h"

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
  uint8_t header[platform::kWaveHeaderBytes];
  platform::WriteWaveHeader(header, static_cast<uint32_t>(samples), 11025, 8, 1);
  std::string w(reinterpret_cast<const char*>(header), sizeof header);
  w.insert(36, std::string("LIST\x04\0\0\0INFO", 12));
  platform::PutLe32(reinterpret_cast<uint8_t*>(w.data()) + 4, static_cast<uint32_t>(w.size() - 8 + samples));
  Write(path, w + std::string(samples, static_cast<char>(value)));
}

// The folders and settings the synthesizer starts on: SONARIS.INI names
// the letters and diphone folders, whose rule and exceptions files are
// written here too; SONARIS_WINDIR points at the folder.
inline void WriteVoiceFolder(const std::filesystem::path& dir, const std::string& rules = "") {
  std::filesystem::create_directories(dir / "letras");
  std::filesystem::create_directories(dir / "difones");
  setenv("SONARIS_WINDIR", dir.c_str(), 1);
  Write(dir / "SONARIS.INI", "[TRADUTOR]\ndirLetras=" + (dir / "letras").string() +
                                 "\nDIRDIFONES=" + (dir / "difones").string() + "\n");
  Write(dir / "difones" / "regras.rgr", rules);
  Write(dir / "difones" / "portug.exc", "");
}

}  // namespace testfiles
