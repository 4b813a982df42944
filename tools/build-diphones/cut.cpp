#include "tools/build-diphones/cut.h"

#include "platform/builders/espeak_voice.h"
#include "tools/build-diphones/unitname.h"
#include "tools/build-sounds/pcm.h"
#include "tools/build-sounds/speak.h"

namespace diphonedata {
namespace {

constexpr size_t kUnitFade = 22;  // 2 ms at both cuts

// Phoneme starts without espeak's pauses ("_", "_:").
std::vector<size_t> SoundStarts(const platform::VoiceAudio& audio) {
  std::vector<size_t> starts;
  for (const platform::VoicePhoneme& p : audio.phonemes) {
    if (!p.name.empty() && p.name[0] != '_') starts.push_back(p.start);
  }
  return starts;
}

}  // namespace

std::vector<uint8_t> CutUnit(const std::string& unitName, std::string& problem) {
  const std::vector<std::string> phonemes = UnitPhonemes(unitName);
  if (phonemes.empty()) {
    problem = "not our letters";
    return {};
  }
  const Carrier carrier = CarrierFor(phonemes);
  platform::VoiceSetPitch(50);
  platform::VoiceAudio audio;
  if (!platform::VoiceSynthesize(carrier.text, true, voicedata::kRate, audio)) {
    problem = "voice failed";
    return {};
  }
  const std::vector<size_t> starts = SoundStarts(audio);
  if (starts.size() < carrier.prefix + carrier.suffix + 1) {
    problem = "too few phonemes in " + carrier.text;
    return {};
  }
  const size_t begin = starts[carrier.prefix];
  const size_t end = std::min(starts[starts.size() - carrier.suffix], audio.samples.size());
  if (end <= begin) {
    problem = "empty cut of " + carrier.text;
    return {};
  }
  std::vector<int16_t> unit(audio.samples.begin() + begin, audio.samples.begin() + end);
  // espeak counts the closure before the suffix's stop as part of the
  // unit: without it, syllables of a word join without gaps.
  voicedata::TrimTrailingSilence(unit, voicedata::kQuiet, kUnitFade);
  voicedata::FadeEdges(unit, kUnitFade);
  return voicedata::ToUnsigned8(unit, voicedata::kGain);
}

}  // namespace diphonedata
