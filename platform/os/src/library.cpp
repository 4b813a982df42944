#include "platform/os/library.h"

#include <dlfcn.h>

namespace platform {

bool OpenLibrary(const char* soname, std::initializer_list<LibraryFunction> functions,
                 std::string& why) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    why = std::string("a biblioteca ") + soname + " n\xC3\xA3o p\xC3\xB4" "de ser carregada (" +
          dlerror() + "); instale o pacote que a traz";
    return false;
  }
  for (const LibraryFunction& f : functions) {
    *f.address = dlsym(library, f.name);
    if (!*f.address) {
      why = std::string("a biblioteca ") + soname + " n\xC3\xA3o tem a fun\xC3\xA7\xC3\xA3o " +
            f.name + " (vers\xC3\xA3o antiga demais?)";
      for (const LibraryFunction& g : functions) *g.address = nullptr;
      dlclose(library);
      return false;
    }
  }
  return true;
}

}  // namespace platform
