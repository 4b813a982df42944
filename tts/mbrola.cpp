// The entry points are bound from the library's record in one pass, so a
// missing one is never called through.
#include "tts/mbrola.h"

#define SONARIS_MBROLA_GLOBAL(type, name) platform::type name = nullptr;
SONARIS_MBROLA_ENTRY_POINTS(SONARIS_MBROLA_GLOBAL)
#undef SONARIS_MBROLA_GLOBAL

namespace {

const platform::MbrolaLibrary* Library = nullptr;

void Bind(const platform::MbrolaLibrary& lib) {
#define SONARIS_MBROLA_BIND(type, name) name = lib.name;
  SONARIS_MBROLA_ENTRY_POINTS(SONARIS_MBROLA_BIND)
#undef SONARIS_MBROLA_BIND
}

}  // namespace

bool LoadMbrola() {
  if (Library) return true;
  const platform::MbrolaLibrary* lib = platform::OpenMbrolaLibrary();
  if (!lib) return false;
  if (!platform::MbrolaLibraryComplete(*lib)) {
    platform::CloseMbrolaLibrary(lib);
    return false;
  }
  Bind(*lib);
  Library = lib;
  return true;
}

void UnloadMbrola() {
  if (!Library) return;
  platform::CloseMbrolaLibrary(Library);
  Library = nullptr;
  Bind(platform::MbrolaLibrary{});
}

bool MbrolaLoaded() { return Library != nullptr; }
