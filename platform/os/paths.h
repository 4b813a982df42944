// Paths: the stand-in for the Windows folder and Windows-style paths.
#pragma once
#include <string>
#include <vector>

namespace platform {

// The "Windows directory": $SONARIS_WINDIR, else $XDG_CONFIG_HOME/sonaris,
// else ~/.config/sonaris. No trailing slash.
std::string WindowsDir();
// Where a bare INI name handed to the profile functions is looked up.
std::string WindowsDirFile(const std::string& bareName);
// The settings read from the Windows directory: its file first, then the
// sample that the build installed beside the speech data, which gives
// every key that the user's file lacks.
std::vector<std::string> WindowsDirFiles(const std::string& bareName);
// The installed sample of a settings file.
std::string InstalledFile(const std::string& bareName);
// Where the speech data was looked for, and where it was found.
struct DataLookup {
  std::string dir;                 // the folder to use (the first tried when none held data)
  bool found = false;
  std::vector<std::string> tried;  // in order
};
// The data folder: fromEnvironment when not empty; else share/sonaris
// beside programDir's bin/ (an installed or moved tree); else buildData,
// the data of the build the program came from. A folder counts when it
// holds the sample SONARIS.INI that is always installed with the data.
DataLookup FindDataDir(const std::string& fromEnvironment, const std::string& programDir,
                       const std::string& buildData);
// The folder of the running program's executable, or "".
std::string ExecutableDir();
// The speech data folder of this program ($SONARIS_DATA when set).
std::string DataDir();
// "" when the speech data is there; else a Portuguese message (UTF-8)
// saying where it was looked for.
std::string MissingDataMessage();
// Current directory, no trailing slash.
std::string CurrentDir();

// Turns a path of the settings into a Linux path: backslashes become
// slashes, a drive prefix is dropped, the default data folders
// (\ecofala\...) mean DataDir(), and a part missing under its exact name is
// looked up without regard to case. The path is Windows-1252 (a path that
// is already well-formed UTF-8 is taken as it stands); the result is a
// UTF-8 Linux path. A trailing slash is kept.
std::string ResolvePath(const std::string& path);
// A path of a file to be written (the settings' or the user's own): the
// same conversion, but used exactly as named, never matched to another
// file that differs in case, and no data folder put in its place.
std::string OutputPath(const std::string& path);
bool FileExists(const std::string& linuxPath);
// Why a file could not be created or written (errno), in Portuguese
// (Windows-1252): "disco cheio", "sem permiss\xE3o"...
std::string FileErrorText(int error);

}  // namespace platform
