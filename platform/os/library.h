// Shared libraries that only one back end needs (SDL for the window and the
// sound card, espeak-ng, libspeechd, BrlAPI) are opened when that back end is first
// used, not when the program starts: a program that speaks to a file never
// loads the window's or the sound card's libraries, and starts in a few
// milliseconds. Each back end lists the functions it calls once, in a table
// of pointers of the library's own types.
#pragma once
#include <initializer_list>
#include <string>

namespace platform {

struct LibraryFunction {
  const char* name;
  void** address;  // where the function's address is written
};

// Opens the library whose run-time name is soname (it then stays loaded)
// and fills in every function. False when the library or one of its
// functions is missing; why then says which, in Portuguese (UTF-8), and
// nothing may be called.
bool OpenLibrary(const char* soname, std::initializer_list<LibraryFunction> functions,
                 std::string& why);

}  // namespace platform

// Inside a back end's table of functions: a pointer of the function's own
// type, named like the function.
#define SONARIS_LIBRARY_POINTER(f) decltype(&::f) f = nullptr;
// The same function as an entry of OpenLibrary's list, for the table named lib.
#define SONARIS_LIBRARY_ENTRY(f) ::platform::LibraryFunction{#f, reinterpret_cast<void**>(&lib.f)},
