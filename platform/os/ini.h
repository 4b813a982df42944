// INI files read with the rules of the Windows profile functions:
// case-insensitive sections and keys, the first match wins, blanks around
// names and values are dropped.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Reads key of section from the file at path (a Linux path). Returns false
// when the file, section or key is missing (value untouched); true with the
// value, possibly empty, when the key is present. At most maxLength - 1
// characters are kept, as in a buffer of maxLength bytes.
bool IniRead(const std::string& path, const std::string& section,
             const std::string& key, std::string& value, int maxLength = 256);

// GetPrivateProfileString: the value, or def when missing.
std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def,
                          int maxLength = 256);

// The same over a list of files: each key comes from the first file that
// holds it, so a user's file may hold only what it changes.
bool IniRead(const std::vector<std::string>& paths, const std::string& section,
             const std::string& key, std::string& value, int maxLength = 256);
std::string IniReadString(const std::vector<std::string>& paths, const std::string& section,
                          const std::string& key, const std::string& def,
                          int maxLength = 256);

}  // namespace platform
