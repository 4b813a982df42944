#include "sapi/voice_notice.h"

#include <cstdio>

#include "console/snwin.h"
#include "platform/os/text.h"

namespace {

VoiceNotice Notice;
const char* const GoesOn = "A fala continua com a voz pr\xF3pria do Sonaris.";
const char* const Instead = "; uso a voz do Sonaris.";

void Report(const std::string& line, bool shown, const std::string& said) {
  std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(line).c_str());
  Notice = {shown ? line : std::string(), said};
}

}  // namespace

void ReportVoiceFailure(const std::string& what, const std::string& spoken, const std::string& reason) {
  Report(what + " n\xE3o est\xE1 dispon\xEDvel (" + platform::Utf8ToCp1252(reason) + "). " + GoesOn, true,
         spoken + " n\xE3o est\xE1 dispon\xEDvel" + Instead);
}

void ReportVoiceBreakdown(const std::string& what, const std::string& spoken, const std::string& reason) {
  Report(what + " parou (" + platform::Utf8ToCp1252(reason) + "). " + GoesOn, false,
         spoken + " parou" + Instead);
}

VoiceNotice TakeVoiceNotice() {
  VoiceNotice n;
  std::swap(n, Notice);
  return n;
}

void VoiceBeep() {
  PlayTone(880);
  Delay(120);
  StopTone();
}
