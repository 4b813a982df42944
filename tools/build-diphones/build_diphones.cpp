// build-diphones: the diphone database of the built-in voice.
//   build-diphones RULES EXCEPTIONS OUTDIR NAME STAGE [TEXT[:COLUMN]]...
// Every unit that the unit selection asks for, over the texts (UTF-8; a
// COLUMN takes that tab-separated field of each line, "#" lines skipped)
// and the generated syllables, is said by espeak-ng and cut; OUTDIR gets
// NAME.IND, NAME.DIF and beside them the rule and exceptions files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os/text.h"
#include "tools/build-diphones/cut.h"
#include "tools/build-diphones/database.h"
#include "tools/build-diphones/enumerate.h"
#include "tools/build-diphones/syllables.h"
#include "tools/build-sounds/pcm.h"
#include "tools/build-sounds/speak.h"

namespace {

namespace fs = std::filesystem;

// The lines of a text file, or one field of each: "PATH:COLUMN" (1-based).
std::vector<std::string> ReadTexts(const std::string& source) {
  std::string path = source;
  int column = 0;
  const size_t colon = source.rfind(':');
  if (colon != std::string::npos && colon + 1 < source.size() &&
      source.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
    path = source.substr(0, colon);
    column = std::stoi(source.substr(colon + 1));
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) std::fprintf(stderr, "build-diphones: cannot read %s\n", path.c_str());
  std::vector<std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (column > 0) {
      if (line.empty() || line[0] == '#') continue;
      std::stringstream fields(line);
      std::string field;
      for (int i = 0; i < column && std::getline(fields, field, '\t'); ++i) {
      }
      line = field;
    }
    texts.push_back(platform::Utf8ToCp1252(line));
  }
  return texts;
}

bool Enumerate(char** argv, int argc, std::set<std::string>& units) {
  std::string error;
  if (!diphonedata::StartEnumeration(argv[5], argv[1], argv[2], error)) {
    std::fprintf(stderr, "build-diphones: %s\n", error.c_str());
    return false;
  }
  for (int i = 6; i < argc; ++i) {
    for (const std::string& text : ReadTexts(argv[i])) diphonedata::CollectUnits(text, units);
  }
  for (const std::string& word : diphonedata::GeneratedWords()) diphonedata::CollectUnits(word, units);
  diphonedata::EndEnumeration();
  return true;
}

diphonedata::UnitSamples CutAll(const std::set<std::string>& names) {
  diphonedata::UnitSamples units;
  for (const std::string& name : names) {
    if (name.size() > diphonedata::kMaxName) continue;  // the index cannot name it
    std::string problem;
    std::vector<uint8_t> samples = diphonedata::CutUnit(name, problem);
    if (samples.empty()) {
      std::fprintf(stderr, "build-diphones: %s left out: %s\n", name.c_str(), problem.c_str());
      continue;
    }
    units[name] = std::move(samples);
  }
  return units;
}

bool WriteDatabase(const diphonedata::UnitSamples& units, const fs::path& dir, const std::string& name,
                   char** argv) {
  std::vector<std::string> skipped;
  const diphonedata::DatabaseFiles files = diphonedata::EncodeDatabase(units, skipped);
  for (const std::string& s : skipped) std::fprintf(stderr, "build-diphones: %s does not fit the index\n", s.c_str());
  std::error_code ec;
  fs::create_directories(dir, ec);
  fs::copy_file(argv[1], dir / "regras.rgr", fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::copy_file(argv[2], dir / "portug.exc", fs::copy_options::overwrite_existing, ec);
  return !ec && voicedata::WriteFile((dir / (name + ".IND")).string(), files.index) &&
         voicedata::WriteFile((dir / (name + ".DIF")).string(), files.data);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: build-diphones RULES EXCEPTIONS OUTDIR NAME STAGE [TEXT[:COLUMN]]...\n");
    return 2;
  }
  std::set<std::string> names;
  if (!Enumerate(argv, argc, names)) return 1;
  if (!voicedata::OpenVoice()) {
    std::fprintf(stderr, "build-diphones: the pt-br voice of espeak-ng did not open\n");
    return 1;
  }
  const diphonedata::UnitSamples units = CutAll(names);
  voicedata::CloseVoice();
  if (!WriteDatabase(units, argv[3], argv[4], argv)) {
    std::fprintf(stderr, "build-diphones: cannot write %s\n", argv[3]);
    return 1;
  }
  std::printf("build-diphones: %zu units asked, %zu in %s/%s\n", names.size(), units.size(), argv[3], argv[4]);
  return 0;
}
