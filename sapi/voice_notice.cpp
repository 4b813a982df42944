#include "sapi/voice_notice.h"

#include <cstdio>

#include "console/snwin.h"
#include "platform/os/text.h"

namespace {
std::string Notice;
}

void ReportVoiceFailure(const std::string& what, const std::string& reason) {
  Notice = what + " n\xE3o est\xE1 dispon\xEDvel (" + platform::Utf8ToCp1252(reason) +
           "). A fala continua com a voz pr\xF3pria do Sonaris.";
  std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(Notice).c_str());
  StdWriteLn(Notice);
}

std::string TakeVoiceNotice() {
  std::string n;
  n.swap(Notice);
  return n;
}

void VoiceBeep() {
  PlayTone(880);
  Delay(120);
  StopTone();
}
