// The stand-in for the MBROLA synthesizer library: the same entry points,
// found by name in a "library" that this layer opens. The real one drives
// the `mbrola` program as a child process (phoneme lines in, 16-bit samples
// out); tests open a table of their own instead.
#pragma once
#include <string>
#include <vector>

namespace platform {

// The entry points with the library's published signatures.
struct MbrolaPhone;
using InitMbrFn = int (*)(const char* voicePath);
using InitRenameMbrFn = int (*)(const char* voicePath, const char* renames, const char* clones);
using WriteMbrFn = int (*)(const char* lines);
using VoidIntFn = int (*)();
using ReadMbrFn = int (*)(short* buffer, int samplesWanted);
using ReadTypeMbrFn = int (*)(void* buffer, int samplesWanted, int sampleType);
using VoidFn = void (*)();
using ErrorStrMbrFn = int (*)(char* buffer, int size);
using SetIntFn = void (*)(int value);
using SetFloatFn = void (*)(float value);
using GetFloatFn = float (*)();
using VersionMbrFn = void (*)(char* buffer, int size);
using DatabaseInfoMbrFn = int (*)(char* buffer, int size, int index);
using SetParserMbrFn = void (*)(void* parser);
using InitPhoneFn = MbrolaPhone* (*)(const char* name, float length);
using PhoneFn = void (*)(MbrolaPhone* phone);
using AppendF0PhoneFn = void (*)(MbrolaPhone* phone, float position, float frequency);

// Sample types of readtype_MBR.
enum MbrolaSampleType { MbrolaLin16 = 0, MbrolaLin8 = 1 };

// lastError_MBR: 0, or what went wrong. A rejected line leaves the
// synthesizer usable after reset_MBR; a child that ended or stalled
// mid-text says that MBROLA itself is failing.
enum MbrolaErrorCode {
  MbrolaNoError = 0,
  MbrolaVoiceFailed = -1,
  MbrolaLineRejected = -2,
  MbrolaEnded = -3,
  MbrolaStalled = -4,
};

struct MbrolaEntry {
  const char* name;
  void* address;
};

// A library: its entries, ended by {nullptr, nullptr}.
struct MbrolaLibrary {
  const MbrolaEntry* entries;
};

// Opens the library: nullptr when no `mbrola` program is found
// ($SONARIS_MBROLA_DIR/bin, the project's third_party/mbrola/bin, then the
// system's). A test library set with SetMbrolaLibrary is opened instead.
const MbrolaLibrary* OpenMbrolaLibrary();
void CloseMbrolaLibrary(const MbrolaLibrary* library);
// The address of an entry point, nullptr when the library has none by that name.
void* MbrolaEntryPoint(const MbrolaLibrary* library, const char* name);
// Tests: the library that OpenMbrolaLibrary gives; nullptr returns to the real one.
void SetMbrolaLibrary(const MbrolaLibrary* library);

// The `mbrola` program that the bridge runs, "" when there is none.
std::string MbrolaProgram();
// The MBROLA voices of this machine, from the voice folders in order
// ($SONARIS_MBROLA_DIR/share/mbrola alone when it is set, else the
// project's third_party/mbrola/share/mbrola, then /usr/share/mbrola), each
// folder's by name. A voice is <folder>/<name>/<name> (the Debian layout)
// or a bare <folder>/<name> file without an extension.
struct MbrolaVoice {
  std::string name;  // "br4"
  std::string path;  // the database file
};
std::vector<MbrolaVoice> MbrolaVoices();
// The database file of an MBROLA voice ("br4", in any case): the first of
// MbrolaVoices with that name; "" when none has it.
std::string MbrolaVoiceFile(const std::string& voice);

}  // namespace platform
