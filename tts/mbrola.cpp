// The entry points are resolved in one table-driven pass, in the library's
// published order, so a missing one is never called through.
#include "tts/mbrola.h"

platform::InitMbrFn init_MBR;
platform::InitRenameMbrFn init_rename_MBR;
platform::WriteMbrFn write_MBR;
platform::VoidIntFn flush_MBR;
platform::ReadMbrFn read_MBR;
platform::ReadTypeMbrFn readtype_MBR;
platform::VoidFn close_MBR;
platform::VoidIntFn reset_MBR;
platform::VoidIntFn lastError_MBR;
platform::ErrorStrMbrFn lastErrorStr_MBR;
platform::SetIntFn setNoError_MBR;
platform::VoidIntFn getNoError_MBR;
platform::SetIntFn setFreq_MBR;
platform::VoidIntFn getFreq_MBR;
platform::SetFloatFn setVolumeRatio_MBR;
platform::GetFloatFn getVolumeRatio_MBR;
platform::VersionMbrFn getVersion_MBR;
platform::DatabaseInfoMbrFn getDatabaseInfo_MBR;
platform::SetParserMbrFn setParser_MBR;
platform::InitPhoneFn init_Phone;
platform::PhoneFn reset_Phone;
platform::PhoneFn close_Phone;
platform::AppendF0PhoneFn appendf0_Phone;

namespace {

const platform::MbrolaLibrary* Library = nullptr;

struct EntrySlot {
  const char* name;
  void** slot;
};

template <typename F>
void** Slot(F& f) {
  return reinterpret_cast<void**>(&f);
}

const EntrySlot Entries[] = {
    {"init_MBR", Slot(init_MBR)},
    {"init_rename_MBR", Slot(init_rename_MBR)},
    {"write_MBR", Slot(write_MBR)},
    {"flush_MBR", Slot(flush_MBR)},
    {"read_MBR", Slot(read_MBR)},
    {"readtype_MBR", Slot(readtype_MBR)},
    {"close_MBR", Slot(close_MBR)},
    {"reset_MBR", Slot(reset_MBR)},
    {"lastError_MBR", Slot(lastError_MBR)},
    {"lastErrorStr_MBR", Slot(lastErrorStr_MBR)},
    {"setNoError_MBR", Slot(setNoError_MBR)},
    {"getNoError_MBR", Slot(getNoError_MBR)},
    {"setFreq_MBR", Slot(setFreq_MBR)},
    {"getFreq_MBR", Slot(getFreq_MBR)},
    {"setVolumeRatio_MBR", Slot(setVolumeRatio_MBR)},
    {"getVolumeRatio_MBR", Slot(getVolumeRatio_MBR)},
    {"getVersion_MBR", Slot(getVersion_MBR)},
    {"getDatabaseInfo_MBR", Slot(getDatabaseInfo_MBR)},
    {"setParser_MBR", Slot(setParser_MBR)},
    {"init_Phone", Slot(init_Phone)},
    {"reset_Phone", Slot(reset_Phone)},
    {"close_Phone", Slot(close_Phone)},
    {"appendf0_Phone", Slot(appendf0_Phone)},
};

void ClearEntries() {
  for (const EntrySlot& e : Entries) *e.slot = nullptr;
}

}  // namespace

bool LoadMbrola() {
  if (Library) return true;
  const platform::MbrolaLibrary* lib = platform::OpenMbrolaLibrary();
  if (!lib) return false;
  for (const EntrySlot& e : Entries) {
    *e.slot = platform::MbrolaEntryPoint(lib, e.name);
    if (!*e.slot) {
      ClearEntries();
      platform::CloseMbrolaLibrary(lib);
      return false;
    }
  }
  Library = lib;
  return true;
}

void UnloadMbrola() {
  if (!Library) return;
  platform::CloseMbrolaLibrary(Library);
  Library = nullptr;
  ClearEntries();
}

bool MbrolaLoaded() { return Library != nullptr; }
