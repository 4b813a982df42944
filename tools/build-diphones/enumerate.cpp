#include "tools/build-diphones/enumerate.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "diphone/diphone.h"

namespace diphonedata {
namespace {

namespace fs = std::filesystem;

struct EnumerationState {
  std::set<std::string>* units = nullptr;
  bool started = false;
};
EnumerationState state;

void Note(const std::string& unit, UnitOutcome) {
  if (state.units && !unit.empty() && unit[0] == '$') state.units->insert(unit);
}

bool WriteText(const fs::path& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  return static_cast<bool>(f);
}

}  // namespace

bool StartEnumeration(const std::string& stage, const std::string& rules, const std::string& exceptions,
                      std::string& error) {
  const fs::path root = fs::absolute(stage);
  std::error_code ec;
  fs::create_directories(root / "letras", ec);
  fs::create_directories(root / "difones", ec);
  fs::copy_file(rules, root / "difones" / "regras.rgr", fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::copy_file(exceptions, root / "difones" / "portug.exc", fs::copy_options::overwrite_existing, ec);
  const std::string ini = "[TRADUTOR]\ndirLetras=" + (root / "letras").string() +
                          "\nDIRDIFONES=" + (root / "difones").string() + "\n";
  if (ec || !WriteText(root / "difones" / "VAZIO.IND", "") || !WriteText(root / "difones" / "VAZIO.DIF", "") ||
      !WriteText(root / "SONARIS.INI", ini)) {
    error = "cannot prepare " + root.string();
    return false;
  }
  // The synthesizer reads its folders from the settings of the Windows
  // folder: ours, in the stage, for this process only.
  setenv("SONARIS_WINDIR", root.c_str(), 1);
  DiphoneDbName = "VAZIO";
  const int code = DiphoneStart();
  if (code != 0) {
    error = "synthesizer start failed with code " + std::to_string(code);
    return false;
  }
  state.started = true;
  UnitReport = Note;
  return true;
}

void CollectUnits(const std::string& text, std::set<std::string>& units) {
  std::string phonetic;
  TranslateText(text, phonetic);
  std::vector<unsigned char> samples;
  state.units = &units;
  RenderPhonetic(phonetic, false, samples);
  state.units = nullptr;
}

void EndEnumeration() {
  UnitReport = nullptr;
  if (state.started) DiphoneEnd();
  state.started = false;
}

}  // namespace diphonedata
