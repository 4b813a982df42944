// MBROLA's voice keys answer with the voice file that this machine has.
#include "platform/voices/registry.h"

#include "platform/voices/mbrola.h"
#include "platform/os/text.h"

namespace platform {

bool ReadRegString(RegistryRoot root, const std::string& path, std::string& value) {
  static const std::string VoiceKeys = "SOFTWARE\\TCTS\\Mbrola\\databases\\";
  size_t last = path.rfind('\\');
  if (root != HKEY_LOCAL_MACHINE || last == std::string::npos) return false;
  std::string key = path.substr(0, last), valueName = path.substr(last + 1);
  if (!valueName.empty() || key.size() <= VoiceKeys.size() ||
      !EqualsNoCase(key.substr(0, VoiceKeys.size()), VoiceKeys))
    return false;
  std::string voice = key.substr(VoiceKeys.size());
  if (voice.find('\\') != std::string::npos) return false;
  std::string file = MbrolaVoiceFile(voice);
  if (file.empty()) return false;
  value = file;
  return true;
}

}  // namespace platform
