// Opening what a word names: a web address with the configured browser, a
// program by itself, a document with the viewer configured for its
// extension or else the desktop's own choice.
#include <string>

#include "platform/os/paths.h"
#include "platform/os/spawn.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"

namespace {

constexpr size_t MaxTarget = 255;
const char* const WebPrefixes[] = {"http://", "https://", "www."};

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

bool IsWebAddress(const std::string& s) {
  for (const char* prefix : WebPrefixes)
    if (StartsWith(s, prefix)) return true;
  return false;
}

bool IsSchemeless(const std::string& s) { return StartsWith(s, "www."); }

// The three characters after the first full stop (the first three without
// one), upper-cased.
std::string ExtensionOf(const std::string& s) {
  size_t dot = s.find('.');
  return UpperLatin1(dot == std::string::npos ? s.substr(0, 3) : s.substr(dot + 1, 3));
}

bool IsAbsolute(const std::string& s) {
  bool drive = s.size() >= 2 && s[1] == ':' &&
               ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
  return drive || StartsWith(s, "\\") || StartsWith(s, "/");
}

}  // namespace

void OpenTarget(const std::string& text) {
  std::string s = text.substr(0, MaxTarget);
  std::string curDir = platform::CurrentDir();
  std::string program, parameters;
  if (IsWebAddress(s)) {
    program = ReadConfig("SONARIS", "PROG.HTM");
    parameters = s;
    // Without a browser of its own the address goes to the desktop's,
    // which takes "www.x" for a file unless it names its scheme.
    if (program.empty()) {
      program = IsSchemeless(s) ? "http://" + s : s;
      parameters.clear();
    }
  } else if (std::string ext = ExtensionOf(s); ext == "EXE" || ext == "COM") {
    bool separated = !curDir.empty() && (curDir.back() == '\\' || curDir.back() == '/');
    program = IsAbsolute(s) ? s : curDir + (separated ? "" : "\\") + s;
  } else {
    program = ReadConfig("SONARIS", "PROG." + ext);
    if (program.empty()) program = s;
    else parameters = s;
  }
  WaitWhileSpeaking();
  platform::ShellOpen(program, parameters, curDir);
  WaitWhileSpeaking();
}
