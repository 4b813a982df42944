// The MBROLA library's entry points over the `mbrola` program.
//
// Each text gets a child of its own: `mbrola [-e] voice - -.raw` reads the
// phoneme lines on its input and writes raw 16-bit samples on its output.
// flush_MBR closes the child's input after a "#" line, so the child writes
// everything and ends: the end of its output is the sure sign that every
// sample of the flushed text has been read, with no guessing by time. A
// child is started by the first line of a text, never ahead of one (its
// voice loads in a few milliseconds), and reset_MBR ends the child of a
// text that was stopped. Every wait is bounded; a child that stalls is
// killed and becomes an error, as is one that ends before its flush or
// with a failure.
#include "platform/voices/mbrola.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <vector>

#include "platform/os/paths.h"
#include "platform/os/spawn.h"
#include "platform/os/text.h"

#ifndef SONARIS_MBROLA_DIR
#define SONARIS_MBROLA_DIR "third_party/mbrola"
#endif

namespace platform {

struct MbrolaPhone {
  std::string line;
};

namespace {

// Longest time the child may go without a byte of output while we wait.
const int StallLimitMs = 5000;
const size_t MessagesKept = 16384;


struct Bridge {
  std::string voice;  // database path; empty while not initialised
  std::string renames, clones;
  bool noError = false;
  float volume = 1.0f;
  int freq = 0;
  PipedChild child;
  std::vector<std::string> childArgs;  // what the child was started with
  bool startAhead = false;  // the next text's child waits, started ahead
  bool running = false;  // a child is there
  bool used = false;     // lines went to it
  bool flushed = false;  // its input is to be closed once pending is written
  bool atEnd = false;    // its output has ended
  std::string pending;   // input it has not taken yet
  std::string samples;   // output not handed out yet
  std::string said;      // what it wrote on its messages
  int error = MbrolaNoError;
  std::string errorText;
  const MbrolaLibrary* testLibrary = nullptr;
};

Bridge& B() {
  static Bridge b;
  return b;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// The project's folder, or the one that $SONARIS_MBROLA_DIR names; with
// that variable set, the system's MBROLA is not looked at.
std::vector<std::string> Folders(const std::string& projectSub, const std::string& systemDir) {
  std::string dir = Env("SONARIS_MBROLA_DIR");
  if (!dir.empty()) return {dir + "/" + projectSub};
  return {std::string(SONARIS_MBROLA_DIR) + "/" + projectSub, systemDir};
}

bool IsExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

void SetError(int code, const std::string& text) {
  Bridge& b = B();
  if (b.error != MbrolaNoError) return;
  b.error = code;
  b.errorText = text;
}

std::vector<std::string> ChildArgs(bool wavHeader) {
  Bridge& b = B();
  std::vector<std::string> args;
  if (b.noError) args.push_back("-e");
  if (b.volume != 1.0f) args.insert(args.end(), {"-v", std::to_string(b.volume)});
  if (!b.renames.empty()) args.insert(args.end(), {"-R", b.renames});
  if (!b.clones.empty()) args.insert(args.end(), {"-C", b.clones});
  args.insert(args.end(), {b.voice, "-", wavHeader ? "-.wav" : "-.raw"});
  return args;
}

void DropChild() {
  Bridge& b = B();
  if (b.running) EndPipedChild(b.child);
  b.running = b.used = b.flushed = b.atEnd = false;
  b.pending.clear();
}

bool SpawnChild() {
  Bridge& b = B();
  b.said.clear();
  b.childArgs = ChildArgs(false);
  b.running = StartPipedChild(MbrolaProgram(), b.childArgs, b.child);
  return b.running;
}

bool StartChild() {
  DropChild();
  if (!SpawnChild()) SetError(MbrolaEnded, "O programa mbrola n\xE3o p\xF4" "de ser iniciado");
  return B().running;
}

// Started ahead, the next text's child is there as soon as the bridge is
// idle and has loaded its voice when the text comes. One that cannot start
// is tried again by the text, which then reports it.
void StartSpare() {
  if (B().startAhead && !B().running && !B().voice.empty()) SpawnChild();
}

// A spare that has ended meanwhile, or that was started with other
// settings (volume), is not the text's.
void DropStaleSpare() {
  Bridge& b = B();
  int status = 0;
  if (b.running && !b.used && (b.childArgs != ChildArgs(false) || ChildEnded(b.child, status)))
    DropChild();
}

// Moves what is ready between us and the child, waiting up to waitMs for
// something to happen. True when anything moved.
bool Pump(int waitMs) {
  Bridge& b = B();
  if (!b.running) return false;
  PipedChild& c = b.child;
  pollfd fds[3];
  int n = 0;
  if (c.output >= 0) fds[n++] = {c.output, POLLIN, 0};
  if (c.messages >= 0) fds[n++] = {c.messages, POLLIN, 0};
  if (c.input >= 0 && !b.pending.empty()) fds[n++] = {c.input, POLLOUT, 0};
  if (n == 0) return false;
  if (poll(fds, nfds_t(n), waitMs) <= 0) return false;
  bool moved = false;
  char chunk[65536];
  for (int i = 0; i < n; ++i) {
    if (!fds[i].revents) continue;
    int fd = fds[i].fd;
    if (fd == c.input) {
      long w = WriteChildInput(c, b.pending.data(), b.pending.size());
      if (w < 0) {
        b.pending.clear();
        CloseChildInput(c);
      } else {
        b.pending.erase(0, size_t(w));
      }
      moved = moved || w != 0;
      continue;
    }
    int& slot = fd == c.output ? c.output : c.messages;
    ssize_t r = read(fd, chunk, sizeof chunk);
    if (r > 0) {
      // Of its messages only the first ones are kept: with -e it names
      // every diphone it lacks.
      if (fd == c.output)
        b.samples.append(chunk, size_t(r));
      else if (b.said.size() < MessagesKept)
        b.said.append(chunk, size_t(r));
      moved = true;
    } else if (r == 0 || (errno != EAGAIN && errno != EINTR)) {
      close(slot);
      slot = -1;
      moved = true;
    }
  }
  if (c.output < 0) b.atEnd = true;
  if (b.flushed && b.pending.empty() && c.input >= 0) CloseChildInput(c);
  return moved;
}

// What the child's messages and its end tell about errors.
void CheckChild() {
  Bridge& b = B();
  if (!b.running) return;
  if (b.said.find("rror") != std::string::npos || b.said.find("RROR") != std::string::npos) {
    size_t end = b.said.find('\n');
    SetError(MbrolaLineRejected, "O MBROLA recusou a entrada: " + b.said.substr(0, end));
  }
  if (!b.atEnd) return;
  // Its output has ended: collect it (it is ending, so this wait is short).
  int status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(StallLimitMs);
  while (!ChildEnded(b.child, status) && std::chrono::steady_clock::now() < deadline) Pump(10);
  bool failed = b.child.ended && WIFEXITED(status) && WEXITSTATUS(status) != 0;
  bool clean = b.child.ended && WIFEXITED(status) && WEXITSTATUS(status) == 0 && b.flushed;
  if (failed)
    SetError(MbrolaLineRejected, "O MBROLA recusou a entrada");
  else if (!clean)
    SetError(MbrolaEnded, "O MBROLA terminou de repente no meio do texto");
}

// Waits until the child has output for us (or, toEnd, until its output
// has ended). No byte for StallLimitMs: the child is killed, an error.
void WaitForOutput(bool toEnd) {
  Bridge& b = B();
  auto last = std::chrono::steady_clock::now();
  while (b.running && !b.atEnd && (toEnd || b.samples.size() < 2)) {
    if (Pump(50)) {
      last = std::chrono::steady_clock::now();
    } else if (std::chrono::steady_clock::now() - last > std::chrono::milliseconds(StallLimitMs)) {
      SetError(MbrolaStalled, "O MBROLA parou de responder");
      DropChild();
    }
  }
}

int CopyString(const std::string& s, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  size_t n = std::min(s.size(), size_t(size - 1));
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
  return int(n);
}

// The probe: a few milliseconds of silence through a WAV output tells
// whether the voice opens, and at what rate it speaks.
int OpenVoice() {
  Bridge& b = B();
  PipedChild probe;
  if (!StartPipedChild(MbrolaProgram(), ChildArgs(true), probe)) return MbrolaVoiceFailed;
  const char input[] = "_ 10\n#\n";
  WriteChildInput(probe, input, sizeof input - 1);
  CloseChildInput(probe);
  std::string header, said;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(StallLimitMs);
  char chunk[4096];
  while (probe.output >= 0 && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[2] = {{probe.output, POLLIN, 0}, {probe.messages, POLLIN, 0}};
    if (poll(fds, probe.messages >= 0 ? 2 : 1, 50) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? probe.output : probe.messages;
      if (fd < 0 || !fds[i].revents) continue;
      ssize_t r = read(fd, chunk, sizeof chunk);
      if (r > 0) (i == 0 ? header : said).append(chunk, size_t(r));
      else if (r == 0 || fds[i].revents & (POLLHUP | POLLERR)) close(fd), fd = -1;
    }
  }
  int status = EndPipedChild(probe);
  bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && header.size() >= 44 &&
            header.compare(0, 4, "RIFF") == 0;
  if (!ok) {
    b.errorText = "A voz do MBROLA n\xE3o abre: " + b.voice;
    b.error = MbrolaVoiceFailed;
    return MbrolaVoiceFailed;
  }
  const unsigned char* h = reinterpret_cast<const unsigned char*>(header.data());
  b.freq = int(h[24] | h[25] << 8 | h[26] << 16 | unsigned(h[27]) << 24);
  return 0;
}

// ---- the entry points ----

void CloseMbr() {
  Bridge& b = B();
  DropChild();
  b.voice.clear();
  b.samples.clear();
  b.freq = 0;
}

int InitRenameMbr(const char* voicePath, const char* renames, const char* clones) {
  Bridge& b = B();
  CloseMbr();
  b.error = MbrolaNoError;
  b.errorText.clear();
  b.renames = renames ? renames : "";
  b.clones = clones ? clones : "";
  b.voice = voicePath ? ResolvePath(voicePath) : "";
  if (b.voice.empty() || MbrolaProgram().empty() || OpenVoice() != 0) {
    if (b.error == MbrolaNoError) SetError(MbrolaVoiceFailed, "A voz do MBROLA n\xE3o abre: " + b.voice);
    b.voice.clear();
    return MbrolaVoiceFailed;
  }
  StartSpare();
  return 0;
}

int InitMbr(const char* voicePath) { return InitRenameMbr(voicePath, nullptr, nullptr); }

int ResetMbr() {
  Bridge& b = B();
  b.samples.clear();
  b.error = MbrolaNoError;
  b.errorText.clear();
  if (b.voice.empty()) return 0;
  // The next line goes to a child of its own: a spare that has had none is
  // as new as one.
  if (b.running && !b.used) return 1;
  DropChild();
  StartSpare();
  return 1;
}

int WriteMbr(const char* lines) {
  Bridge& b = B();
  if (b.voice.empty()) {
    SetError(MbrolaVoiceFailed, "Nenhuma voz do MBROLA aberta");
    return 0;
  }
  // After a flush the next text goes to a new child; the samples that the
  // last one still owes are kept ahead of the new ones.
  if (b.running && b.flushed) {
    WaitForOutput(true);
    CheckChild();
    std::string kept = b.samples;
    StartChild();
    b.samples = kept;
  }
  DropStaleSpare();
  if (!b.running && !StartChild()) return 0;
  b.pending += lines ? lines : "";
  b.used = true;
  Pump(0);
  CheckChild();
  return b.error == MbrolaNoError ? 1 : 0;
}

int FlushMbr() {
  Bridge& b = B();
  if (!b.running || !b.used) return 1;
  b.pending += "#\n";
  b.flushed = true;
  Pump(0);
  return 1;
}

int ReadTake(short* buffer, int wanted) {
  Bridge& b = B();
  int n = std::min(wanted, int(b.samples.size() / 2));
  if (n <= 0) return 0;
  std::memcpy(buffer, b.samples.data(), size_t(n) * 2);
  b.samples.erase(0, size_t(n) * 2);
  return n;
}

int ReadMbr(short* buffer, int wanted) {
  Bridge& b = B();
  if (!buffer || wanted <= 0) return 0;
  while (Pump(0)) {
  }
  // After the flush every sample is waited for; before it only what is
  // ready now is taken.
  if (b.flushed) WaitForOutput(false);
  int n = ReadTake(buffer, wanted);
  if (n > 0) return n;
  CheckChild();
  // The text is done: its child is collected, and the next text starts one.
  if (b.running && b.atEnd) {
    DropChild();
    StartSpare();
  }
  return b.error != MbrolaNoError ? -1 : 0;
}

int ReadTypeMbr(void* buffer, int wanted, int type) {
  if (type == MbrolaLin16) return ReadMbr(static_cast<short*>(buffer), wanted);
  if (type != MbrolaLin8 || !buffer || wanted <= 0) return -1;
  std::vector<short> wide(size_t(wanted), 0);
  int n = ReadMbr(wide.data(), wanted);
  unsigned char* out = static_cast<unsigned char*>(buffer);
  for (int i = 0; i < n; ++i) out[i] = static_cast<unsigned char>((wide[size_t(i)] >> 8) + 128);
  return n;
}

int LastErrorMbr() { return B().error; }
int LastErrorStrMbr(char* buffer, int size) { return CopyString(B().errorText, buffer, size); }

// A setting that the child takes as an argument: one started ahead with
// the old value is started again (the same value again changes nothing).
void SetNoErrorMbr(int value) {
  if (B().noError == (value != 0)) return;
  B().noError = value != 0;
  DropStaleSpare();
  StartSpare();
}
int GetNoErrorMbr() { return B().noError ? 1 : 0; }
// The program has no output rate of its own: samples come at the voice's.
void SetFreqMbr(int) {}
int GetFreqMbr() { return B().freq; }
void SetVolumeRatioMbr(float value) {
  if (B().volume == value) return;
  B().volume = value;
  DropStaleSpare();
  StartSpare();
}
float GetVolumeRatioMbr() { return B().volume; }
void GetVersionMbr(char* buffer, int size) { CopyString("3.3 (mbrola)", buffer, size); }
int GetDatabaseInfoMbr(char* buffer, int size, int index) {
  return index == 0 ? CopyString(B().voice, buffer, size) : 0;
}
// The program reads the phoneme lines with its own parser.
void SetParserMbr(void*) {}

MbrolaPhone* InitPhone(const char* name, float length) {
  auto* p = new MbrolaPhone;
  p->line = std::string(name ? name : "_") + " " + std::to_string(int(length));
  return p;
}
void ResetPhone(MbrolaPhone* p) {
  if (p) p->line = p->line.substr(0, p->line.find(' ', p->line.find(' ') + 1));
}
void ClosePhone(MbrolaPhone* p) { delete p; }
void AppendF0Phone(MbrolaPhone* p, float position, float frequency) {
  if (p) p->line += " " + std::to_string(int(position)) + " " + std::to_string(int(frequency));
}

const MbrolaLibrary BridgeLibrary = {
    .init_MBR = &InitMbr,
    .init_rename_MBR = &InitRenameMbr,
    .write_MBR = &WriteMbr,
    .flush_MBR = &FlushMbr,
    .read_MBR = &ReadMbr,
    .readtype_MBR = &ReadTypeMbr,
    .close_MBR = &CloseMbr,
    .reset_MBR = &ResetMbr,
    .lastError_MBR = &LastErrorMbr,
    .lastErrorStr_MBR = &LastErrorStrMbr,
    .setNoError_MBR = &SetNoErrorMbr,
    .getNoError_MBR = &GetNoErrorMbr,
    .setFreq_MBR = &SetFreqMbr,
    .getFreq_MBR = &GetFreqMbr,
    .setVolumeRatio_MBR = &SetVolumeRatioMbr,
    .getVolumeRatio_MBR = &GetVolumeRatioMbr,
    .getVersion_MBR = &GetVersionMbr,
    .getDatabaseInfo_MBR = &GetDatabaseInfoMbr,
    .setParser_MBR = &SetParserMbr,
    .init_Phone = &InitPhone,
    .reset_Phone = &ResetPhone,
    .close_Phone = &ClosePhone,
    .appendf0_Phone = &AppendF0Phone,
};

}  // namespace

std::string MbrolaProgram() {
  for (const std::string& dir : Folders("bin", "/usr/bin"))
    if (IsExecutable(dir + "/mbrola")) return dir + "/mbrola";
  return {};
}

std::vector<MbrolaVoice> MbrolaVoices() {
  namespace fs = std::filesystem;
  std::vector<MbrolaVoice> out;
  for (const std::string& folder : Folders("share/mbrola", "/usr/share/mbrola")) {
    std::vector<MbrolaVoice> found;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
      const std::string name = e.path().filename().string();
      const fs::path inner = e.path() / name;
      if (e.is_directory(ec) && fs::is_regular_file(inner, ec))
        found.push_back({name, inner.string()});
      else if (e.is_regular_file(ec) && name.find('.') == std::string::npos)
        found.push_back({name, e.path().string()});
    }
    std::sort(found.begin(), found.end(),
              [](const MbrolaVoice& a, const MbrolaVoice& b) { return a.name < b.name; });
    out.insert(out.end(), found.begin(), found.end());
  }
  return out;
}

std::string MbrolaVoiceFile(const std::string& voice) {
  for (const MbrolaVoice& v : MbrolaVoices())
    if (EqualsNoCase(v.name, voice)) return v.path;
  return {};
}

bool ReadMbrolaRenames(const std::string& file, std::string& renames, std::string& clones) {
  std::vector<std::string> lines;
  if (file.empty() || !ReadTextLines(file, lines)) return false;
  lines.resize(std::max<size_t>(lines.size(), 2));
  renames = lines[0];
  clones = lines[1];
  for (std::string* s : {&renames, &clones})
    while (!s->empty() && s->back() == ' ') s->pop_back();
  return !renames.empty() || !clones.empty();
}

const MbrolaLibrary* OpenMbrolaLibrary() {
  if (B().testLibrary) return B().testLibrary;
  return MbrolaProgram().empty() ? nullptr : &BridgeLibrary;
}

void CloseMbrolaLibrary(const MbrolaLibrary* library) {
  if (library == &BridgeLibrary) CloseMbr();
}

bool MbrolaLibraryComplete(const MbrolaLibrary& library) {
#define SONARIS_MBROLA_PRESENT(type, name) &&library.name
  return true SONARIS_MBROLA_ENTRY_POINTS(SONARIS_MBROLA_PRESENT);
#undef SONARIS_MBROLA_PRESENT
}

void SetMbrolaLibrary(const MbrolaLibrary* library) { B().testLibrary = library; }

void MbrolaStartAhead(bool on) {
  Bridge& b = B();
  b.startAhead = on;
  if (on)
    StartSpare();
  else if (b.running && !b.used)
    DropChild();
}

}  // namespace platform
