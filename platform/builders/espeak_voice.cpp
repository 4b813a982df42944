// espeak-ng in synchronous mode: the callback gathers samples and phoneme
// events of one message; nothing plays.
#include "platform/builders/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

struct VoiceState {
  bool open = false;
  int nativeRate = 0;
  std::vector<int16_t> samples;
  std::vector<VoicePhoneme> phonemes;  // start in native samples
};
VoiceState state;

int Gather(short* wav, int count, espeak_EVENT* events) {
  if (wav && count > 0) state.samples.insert(state.samples.end(), wav, wav + count);
  for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_PHONEME) continue;
    VoicePhoneme p;
    p.name.assign(e->id.string, strnlen(e->id.string, sizeof e->id.string));
    p.start = static_cast<size_t>(std::max(0, e->audio_position)) * state.nativeRate / 1000;
    state.phonemes.push_back(p);
  }
  return 0;
}

double Kernel(double d, double cutoff, double halfWidth) {
  if (std::fabs(d) >= halfWidth) return 0.0;
  const double x = M_PI * cutoff * d;
  const double sinc = d == 0.0 ? 1.0 : std::sin(x) / x;
  const double hann = 0.5 + 0.5 * std::cos(M_PI * d / halfWidth);
  return cutoff * sinc * hann;
}

}  // namespace

bool VoiceOpen(const std::string& voice, int wordsPerMinute, int pitch) {
  if (state.open) return true;
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                     espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) return false;
  if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
    espeak_Terminate();
    return false;
  }
  espeak_SetSynthCallback(Gather);
  espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
  espeak_SetParameter(espeakPITCH, pitch, 0);
  state.nativeRate = rate;
  state.open = true;
  return true;
}

void VoiceClose() {
  if (!state.open) return;
  espeak_Terminate();
  state = VoiceState{};
}

void VoiceSetPitch(int pitch) {
  if (state.open) espeak_SetParameter(espeakPITCH, pitch, 0);
}

bool VoiceSynthesize(const std::string& text, bool phonemeInput, int rate, VoiceAudio& out) {
  if (!state.open || rate <= 0) return false;
  state.samples.clear();
  state.phonemes.clear();
  const std::string input = phonemeInput ? "[[" + text + "]]" : text;
  const unsigned flags = espeakCHARS_UTF8 | (phonemeInput ? espeakPHONEMES : 0u);
  if (espeak_Synth(input.c_str(), input.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr) != EE_OK)
    return false;
  out.rate = rate;
  out.samples = Resample(state.samples, state.nativeRate, rate);
  out.phonemes = state.phonemes;
  for (VoicePhoneme& p : out.phonemes) p.start = p.start * rate / state.nativeRate;
  return true;
}

std::vector<int16_t> Resample(const std::vector<int16_t>& in, int fromRate, int toRate) {
  if (fromRate == toRate || in.empty()) return in;
  const double step = static_cast<double>(fromRate) / toRate;
  const double cutoff = std::min(1.0, 1.0 / step);
  const double halfWidth = 12.0 / cutoff;
  const size_t count = static_cast<size_t>(in.size() / step);
  std::vector<int16_t> out(count);
  for (size_t n = 0; n < count; ++n) {
    const double t = n * step;
    const long first = static_cast<long>(std::ceil(t - halfWidth));
    const long last = static_cast<long>(std::floor(t + halfWidth));
    double sum = 0.0;
    for (long k = std::max(0L, first); k <= last && k < static_cast<long>(in.size()); ++k)
      sum += in[k] * Kernel(t - k, cutoff, halfWidth);
    out[n] = static_cast<int16_t>(std::clamp(std::lround(sum), -32768L, 32767L));
  }
  return out;
}

}  // namespace platform
