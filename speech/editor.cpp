// Reading a line from the user. For now the console's own line reader
// takes the line; the spoken field editor will take its place.
#include "console/snwin.h"
#include "speech/sncrt.h"

void ReadLineSpoken(std::string& s) { s = StdReadLn(); }
