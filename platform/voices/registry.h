// The stand-in for reading the Windows registry. The only keys that exist
// are MBROLA's voice keys, "SOFTWARE\TCTS\Mbrola\databases\<VOICE>", whose
// default value is the path of that voice's database file.
#pragma once
#include <string>

namespace platform {

enum RegistryRoot { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

// path: key path and value name joined by a backslash (an empty value name
// is the key's default value). False, value unchanged, when there is no
// such value.
bool ReadRegString(RegistryRoot root, const std::string& path, std::string& value);

}  // namespace platform
