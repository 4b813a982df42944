// The audio back-end table, SONARIS_AUDIO, the looping sound and the small
// helpers every back end uses.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/audio/src/audio_backends.h"
#include "platform/os/messages.h"
#include "platform/os/riff.h"
#include "platform/os/text.h"

namespace platform {
namespace {

const audio::BackEnd kBackEnds[] = {
    {"device", audio::CreateDeviceOut, audio::DeviceLoop},
    {"wav", audio::CreateCaptureOut, audio::CaptureLoop},
    {"null", audio::CreateNullOut, nullptr},
};

struct AudioState {
  AudioOutFactory factory;
  std::mutex noticeLock;
  std::string notice;  // UTF-8 until taken
  std::vector<uint8_t> loopData;
  std::unique_ptr<audio::AudioLoop> loop;
  std::atomic<bool> ending{false};  // set at exit: no more block-done posts
};
AudioState S;

// "wav:/tmp/x.wav" -> back end "wav", argument "/tmp/x.wav".
const audio::BackEnd& Choose(const std::string& choice, std::string& arg) {
  size_t colon = choice.find(':');
  std::string name = choice.substr(0, colon);
  arg = colon == std::string::npos ? std::string() : choice.substr(colon + 1);
  for (const auto& b : kBackEnds)
    if (name == b.name) return b;
  std::fprintf(stderr, "SONARIS_AUDIO=%s não é conhecido (use device, wav:ARQUIVO ou null); "
                       "uso o dispositivo de som.\n", choice.c_str());
  return kBackEnds[0];
}

std::string ConfiguredChoice() {
  const char* env = std::getenv("SONARIS_AUDIO");
  return env && *env ? env : "device";
}

}  // namespace

std::unique_ptr<AudioOut> CreateAudioOut(const std::string& choice) {
  std::string arg;
  return Choose(choice, arg).create(arg);
}

std::unique_ptr<AudioOut> CreateAudioOut() {
  if (S.factory) return S.factory();
  return audio::Traced(CreateAudioOut(ConfiguredChoice()));
}

void SetAudioOutFactory(AudioOutFactory factory) { S.factory = std::move(factory); }

void LoopSound(const uint8_t* image, size_t size) {
  StopLoopSound();
  AudioFormat format;
  const uint8_t* data = nullptr;
  size_t length = 0;
  if (!image || !audio::ReadRiffImage(image, size, format, data, length) || length == 0) return;
  S.loopData.assign(data, data + length);
  std::string arg;
  const audio::BackEnd& b = Choose(ConfiguredChoice(), arg);
  if (b.loop) S.loop = b.loop(arg, format, S.loopData.data(), S.loopData.size());
}

std::string TakeAudioNotice() {
  std::lock_guard<std::mutex> g(S.noticeLock);
  std::string notice = Utf8ToCp1252(S.notice);
  S.notice.clear();
  return notice;
}

void StopLoopSound() {
  S.loop.reset();
  S.loopData.clear();
}

namespace audio {

bool FormatSupported(const AudioFormat& f) {
  return (f.bits == 8 || f.bits == 16) && (f.channels == 1 || f.channels == 2) &&
         f.rate >= 1000 && f.rate <= 384000;
}

unsigned FrameBytes(const AudioFormat& f) { return f.bits / 8u * f.channels; }

void PostBlockDone(intptr_t tag) {
  if (S.ending.load()) return;
  PostMessage(MM_WOM_DONE, 0, tag);
  // Registered after the queue exists, so it runs before the queue goes.
  static const bool watched = (std::atexit([] { S.ending = true; }), true);
  (void)watched;
}

void SayNoSound(const std::string& why) {
  static std::once_flag once;
  std::call_once(once, [&] {
    const char* text = "Nenhum dispositivo de som disponível; o programa continua sem som.";
    std::fprintf(stderr, "%s%s%s\n", text, why.empty() ? "" : " ", why.c_str());
    std::lock_guard<std::mutex> g(S.noticeLock);
    S.notice = text;
  });
}

bool ReadRiffImage(const uint8_t* image, size_t size, AudioFormat& format,
                   const uint8_t*& data, size_t& length) {
  WaveLayout w;
  if (!FindWaveLayout(image, size, w) || !w.hasFields) return false;
  format = AudioFormat{w.rate, w.bits, w.channels};
  data = image + w.dataOffset;
  length = w.dataLength;
  return FormatSupported(format);
}

}  // namespace audio
}  // namespace platform
