// Windows-style paths of the settings become Linux paths here.
#include "platform/os/paths.h"

#include <cerrno>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/os/text.h"

#ifndef SONARIS_DATA_DIR
#define SONARIS_DATA_DIR "data"
#endif

namespace platform {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string WithoutTrailingSlash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// The name in folder dir that equals name without regard to case, or "".
std::string FindNoCase(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "/" : dir.c_str());
  if (!d) return {};
  std::string wanted = Utf8ToCp1252(name), found;
  while (dirent* e = readdir(d)) {
    if (EqualsNoCase(Utf8ToCp1252(e->d_name), wanted)) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// Replaces every missing component by an existing one differing in case.
std::string MatchCase(const std::string& path) {
  if (path.empty() || FileExists(path)) return path;
  bool absolute = path.front() == '/';
  std::string out = absolute ? "" : ".";
  std::string shown;  // what is returned: no "./" prefix for relative paths
  for (const std::string& part : SplitComponents(path)) {
    std::string candidate = out + "/" + part;
    std::string use = part;
    if (part != "." && part != ".." && !FileExists(candidate)) {
      std::string match = FindNoCase(out, part);
      if (!match.empty()) use = match;
    }
    out += "/" + use;
    shown += (shown.empty() && !absolute) ? use : "/" + use;
  }
  if (path.back() == '/') shown += '/';
  return shown;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string WindowsDir() {
  std::string dir = Env("SONARIS_WINDIR");
  if (!dir.empty()) return WithoutTrailingSlash(dir);
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = Env("HOME") + "/.config";
  return WithoutTrailingSlash(config) + "/sonaris";
}

std::string WindowsDirFile(const std::string& bareName) {
  return MatchCase(WindowsDir() + "/" + bareName);
}

std::string ExecutableDir() {
  std::vector<char> buffer(4096);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string exe(buffer.data(), static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

DataLookup FindDataDir(const std::string& fromEnvironment, const std::string& programDir,
                       const std::string& buildData) {
  if (!fromEnvironment.empty()) {
    std::string dir = WithoutTrailingSlash(fromEnvironment);
    return {dir, FileExists(dir), {dir}};
  }
  DataLookup found;
  // Installed or moved tree: bin/ and share/sonaris/ side by side. The
  // sample settings file is always installed with the data, so it marks it.
  if (!programDir.empty()) {
    std::string installed =
        std::filesystem::path(programDir + "/../share/sonaris").lexically_normal().string();
    found.tried.push_back(WithoutTrailingSlash(installed));
  }
  // Run from a build: the data that build made.
  if (!buildData.empty()) found.tried.push_back(WithoutTrailingSlash(buildData));
  for (const std::string& dir : found.tried) {
    if (FileExists(dir + "/SONARIS.INI")) return {dir, true, found.tried};
  }
  found.dir = found.tried.empty() ? std::string(".") : found.tried.front();
  return found;
}

const DataLookup& ProgramDataLookup() {
  static const DataLookup lookup = FindDataDir("", ExecutableDir(), SONARIS_DATA_DIR);
  return lookup;
}

std::string DataDir() {
  std::string dir = Env("SONARIS_DATA");
  return dir.empty() ? ProgramDataLookup().dir : WithoutTrailingSlash(dir);
}

std::string MissingDataMessage() {
  DataLookup lookup = FindDataDir(Env("SONARIS_DATA"), ExecutableDir(), SONARIS_DATA_DIR);
  if (lookup.found) return {};
  std::string where;
  for (const std::string& dir : lookup.tried) where += (where.empty() ? "" : " e ") + dir;
  return "Dados de fala não encontrados (procurados em " + where +
         "). Instale o Sonaris (cmake --install) ou indique a pasta em SONARIS_DATA.";
}

std::string InstalledFile(const std::string& bareName) { return DataDir() + "/" + bareName; }

std::vector<std::string> WindowsDirFiles(const std::string& bareName) {
  return {WindowsDirFile(bareName), InstalledFile(bareName)};
}

std::string CurrentDir() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (buffer.size() > (1u << 20)) return ".";
    buffer.resize(buffer.size() * 2);
  }
  return WithoutTrailingSlash(buffer.data());
}

std::string OutputPath(const std::string& path) {
  std::string p = IsValidUtf8(path) ? path : Cp1252ToUtf8(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0])))
    p.erase(0, 2);
  return p;
}

std::string ResolvePath(const std::string& path) {
  std::string p = OutputPath(path);
  // The default data folders of the settings live in this build's data.
  static const std::string kDataRoot = "/ecofala";
  if (StartsWithNoCase(p, kDataRoot) &&
      (p.size() == kDataRoot.size() || p[kDataRoot.size()] == '/'))
    p = DataDir() + p.substr(kDataRoot.size());
  return MatchCase(p);
}

std::string FileErrorText(int error) {
  static const struct {
    int error;
    const char* text;
  } kTexts[] = {
      {ENOSPC, "disco cheio"},
      {EDQUOT, "cota do disco esgotada"},
      {EACCES, "sem permiss\xE3o"},
      {EPERM, "sem permiss\xE3o"},
      {ENOENT, "a pasta n\xE3o existe"},
      {ENOTDIR, "a pasta n\xE3o existe"},
      {EISDIR, "\xE9 uma pasta"},
      {EROFS, "disco s\xF3 de leitura"},
      {EIO, "erro de leitura ou grava\xE7\xE3o no disco"},
      {EFBIG, "arquivo grande demais"},
  };
  for (const auto& t : kTexts)
    if (t.error == error) return t.text;
  return "erro " + std::to_string(error);
}

bool FileExists(const std::string& linuxPath) {
  struct stat st {};
  return !linuxPath.empty() && stat(linuxPath.c_str(), &st) == 0;
}

}  // namespace platform
