// The stand-in for the MBROLA synthesizer library: the same entry points,
// in a typed record that this layer opens. The real one drives
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

// The 23 entry points of the library in its published order, each with its
// type: one list from which the library record, the engine's bindings and
// the check that none is missing are all made.
#define SONARIS_MBROLA_ENTRY_POINTS(X)        \
  X(InitMbrFn, init_MBR)                      \
  X(InitRenameMbrFn, init_rename_MBR)         \
  X(WriteMbrFn, write_MBR)                    \
  X(VoidIntFn, flush_MBR)                     \
  X(ReadMbrFn, read_MBR)                      \
  X(ReadTypeMbrFn, readtype_MBR)              \
  X(VoidFn, close_MBR)                        \
  X(VoidIntFn, reset_MBR)                     \
  X(VoidIntFn, lastError_MBR)                 \
  X(ErrorStrMbrFn, lastErrorStr_MBR)          \
  X(SetIntFn, setNoError_MBR)                 \
  X(VoidIntFn, getNoError_MBR)                \
  X(SetIntFn, setFreq_MBR)                    \
  X(VoidIntFn, getFreq_MBR)                   \
  X(SetFloatFn, setVolumeRatio_MBR)           \
  X(GetFloatFn, getVolumeRatio_MBR)           \
  X(VersionMbrFn, getVersion_MBR)             \
  X(DatabaseInfoMbrFn, getDatabaseInfo_MBR)   \
  X(SetParserMbrFn, setParser_MBR)            \
  X(InitPhoneFn, init_Phone)                  \
  X(PhoneFn, reset_Phone)                     \
  X(PhoneFn, close_Phone)                     \
  X(AppendF0PhoneFn, appendf0_Phone)

// A library: its entry points, typed; a null one is missing.
struct MbrolaLibrary {
#define SONARIS_MBROLA_MEMBER(type, name) type name = nullptr;
  SONARIS_MBROLA_ENTRY_POINTS(SONARIS_MBROLA_MEMBER)
#undef SONARIS_MBROLA_MEMBER
};

// True when the library has every entry point.
bool MbrolaLibraryComplete(const MbrolaLibrary& library);

// Opens the library: nullptr when no `mbrola` program is found
// ($SONARIS_MBROLA_DIR/bin, the project's third_party/mbrola/bin, then the
// system's). A test library set with SetMbrolaLibrary is opened instead.
const MbrolaLibrary* OpenMbrolaLibrary();
void CloseMbrolaLibrary(const MbrolaLibrary* library);
// Tests: the library that OpenMbrolaLibrary gives; nullptr returns to the real one.
void SetMbrolaLibrary(const MbrolaLibrary* library);

// Each text has a child of its own, started by its first line. Started
// ahead, the next text's child waits, its voice loaded, whenever the bridge
// is idle, so that a text's first sound does not wait for a program to
// start: for the speech-dispatcher module, whose every message is a text
// to answer at once. The sound is the same.
void MbrolaStartAhead(bool on);

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

// A voice whose phoneme names differ from the rules' ones is opened with
// renames and clones (MBROLA's -R and -C lists), kept in a ".rnm" file:
// the renames on its first line, the clones on its second. False when the
// file cannot be read or both lists are empty.
bool ReadMbrolaRenames(const std::string& file, std::string& renames, std::string& clones);

}  // namespace platform
