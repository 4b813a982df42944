#include "programs/sd_sonaris/protocol.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sd {
namespace {

const struct {
  const char* text;
  Command command;
  bool data;
} kCommands[] = {
    {"INIT", Command::Init, false},       {"SPEAK", Command::Speak, true},
    {"CHAR", Command::Char, true},        {"KEY", Command::Key, true},
    {"SOUND_ICON", Command::SoundIcon, true}, {"STOP", Command::Stop, false},
    {"PAUSE", Command::Pause, false},     {"LIST VOICES", Command::ListVoices, false},
    {"SET", Command::Set, true},          {"AUDIO", Command::Audio, true},
    {"LOGLEVEL", Command::LogLevel, true}, {"QUIT", Command::Quit, false},
};

template <typename E>
struct Word {
  const char* text;
  E value;
};
const Word<Punctuation> kPunctuation[] = {
    {"none", Punctuation::None}, {"some", Punctuation::Some},
    {"most", Punctuation::Most}, {"all", Punctuation::All}};
const Word<CapLetters> kCapitals[] = {
    {"none", CapLetters::None}, {"spell", CapLetters::Spell}, {"icon", CapLetters::Icon}};

template <typename E, size_t N>
bool FindWord(const Word<E> (&table)[N], const std::string& text, E& out) {
  for (const auto& w : table)
    if (text == w.text) {
      out = w.value;
      return true;
    }
  return false;
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < low || v > high) return false;
  out = int(v);
  return true;
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The value of attribute name in a tag's text, "" when it has none.
std::string Attribute(const std::string& tag, const char* name) {
  std::string key = std::string(name) + "=";
  size_t at = tag.find(key);
  if (at == std::string::npos || at + key.size() >= tag.size()) return {};
  char quote = tag[at + key.size()];
  if (quote != '"' && quote != '\'') return {};
  size_t start = at + key.size() + 1, end = tag.find(quote, start);
  if (end == std::string::npos) return {};
  // As XML reads a value: a line end or tab is a blank; other control
  // bytes are no text. A mark goes back on a protocol line of its own.
  std::string value;
  for (char c : tag.substr(start, end - start)) {
    if (c == '\n' || c == '\r' || c == '\t')
      value += ' ';
    else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
      value += c;
  }
  return value;
}

const struct {
  const char* entity;
  const char* text;
} kEntities[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}};

// Keys that speech-dispatcher names, spoken as the line editor says them.
const struct {
  const char* key;
  const char* words;
} kKeyNames[] = {
    {"space", "espa\xC3\xA7o"},     {"underscore", "sublinhado"},
    {"double-quote", "aspas"},      {"alt", "alt"},
    {"control", "control"},         {"hyper", "hyper"},
    {"meta", "meta"},               {"shift", "shift"},
    {"super", "super"},             {"backspace", "retrocesso"},
    {"break", "break"},             {"delete", "delete"},
    {"down", "seta abaixo"},        {"end", "end"},
    {"enter", "enter"},             {"escape", "esc"},
    {"home", "home"},               {"insert", "insert"},
    {"kp-*", "asterisco do teclado num\xC3\xA9rico"},
    {"kp-+", "mais do teclado num\xC3\xA9rico"},
    {"kp--", "menos do teclado num\xC3\xA9rico"},
    {"kp-.", "ponto do teclado num\xC3\xA9rico"},
    {"kp-/", "barra do teclado num\xC3\xA9rico"},
    {"kp-enter", "enter do teclado num\xC3\xA9rico"},
    {"left", "seta \xC3\xA0 esquerda"}, {"menu", "menu"},
    {"next", "page down"},          {"num-lock", "num lock"},
    {"pause", "pause"},             {"print", "print screen"},
    {"prior", "page up"},           {"return", "enter"},
    {"right", "seta \xC3\xA0 direita"}, {"scroll-lock", "scroll lock"},
    {"tab", "tab"},                 {"up", "seta acima"},
    {"window", "tecla windows"},
};

}  // namespace

Command ParseCommand(const std::string& line) {
  for (const auto& c : kCommands)
    if (line == c.text) return c.command;
  if (line.rfind("DEBUG", 0) == 0) return Command::Debug;
  return Command::Unknown;
}

bool TakesData(Command command) {
  for (const auto& c : kCommands)
    if (c.command == command) return c.data;
  return false;
}

std::string DataLine(const std::string& line) {
  return !line.empty() && line[0] == '.' ? line.substr(1) : line;
}

bool ApplySetting(Settings& s, const std::string& line) {
  size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  std::string key = line.substr(0, eq), value = line.substr(eq + 1);
  if (key == "rate") return ParseInt(value, -100, 100, s.rate);
  if (key == "pitch") return ParseInt(value, -100, 100, s.pitch);
  if (key == "volume") return ParseInt(value, -100, 100, s.volume);
  if (key == "punctuation_mode") return FindWord(kPunctuation, value, s.punctuation);
  if (key == "cap_let_recogn") return FindWord(kCapitals, value, s.capitals);
  if (key == "spelling_mode") {
    if (value != "on" && value != "off") return false;
    s.spelling = value == "on";
    return true;
  }
  if (key == "voice") s.voiceType = Upper(value);
  if (key == "synthesis_voice") s.voiceName = value == "NULL" ? "" : value;
  if (key == "language") s.language = value == "NULL" ? "pt-BR" : value;
  return true;  // pitch_range and the rest: nothing here depends on them
}

const Voice kVoices[4] = {
    {"br4", "female", "br4", "FEMALE1"},
    {"br1", "male", "br1", "MALE1"},
    {"br3", "male", "br3", "MALE2"},
    {"sonaris", "male", nullptr, "MALE3"},
};

const Voice& ChooseVoice(const Settings& s) {
  for (const Voice& v : kVoices)
    if (s.voiceName == v.name) return v;
  for (const Voice& v : kVoices)
    if (s.voiceType == v.symbolic) return v;
  return kVoices[0];
}

std::string VoiceList(const std::vector<const Voice*>& voices) {
  if (voices.empty()) return "304 CANT LIST VOICES\n";
  std::string out;
  for (const Voice* v : voices) out += std::string("200-") + v->name + "\tpt-BR\t" + v->gender + "\n";
  return out + "200 OK VOICE LIST SENT\n";
}

std::vector<Piece> SplitSsml(const std::string& ssml) {
  std::vector<Piece> pieces(1);
  size_t i = 0;
  while (i < ssml.size()) {
    if (ssml[i] == '<') {
      size_t end = ssml.find('>', i);
      if (end == std::string::npos) break;  // a cut tag says nothing
      std::string tag = ssml.substr(i + 1, end - i - 1);
      if (tag.rfind("mark", 0) == 0) {
        pieces.back().mark = Attribute(tag, "name");
        pieces.emplace_back();
      } else if (tag.rfind("break", 0) == 0 || tag == "/s" || tag == "/p") {
        pieces.back().text += ' ';
      }
      i = end + 1;
      continue;
    }
    if (ssml[i] == '&') {
      bool known = false;
      for (const auto& e : kEntities)
        if (ssml.compare(i, std::strlen(e.entity), e.entity) == 0) {
          pieces.back().text += e.text;
          i += std::strlen(e.entity);
          known = true;
          break;
        }
      if (known) continue;
    }
    pieces.back().text += ssml[i++];
  }
  return pieces;
}

std::string KeyWords(const std::string& key) {
  // "control_a": each part said in turn.
  size_t under = key.find('_');
  if (under != std::string::npos && under > 0 && under + 1 < key.size())
    return KeyWords(key.substr(0, under)) + " " + KeyWords(key.substr(under + 1));
  for (const auto& k : kKeyNames)
    if (key == k.key) return k.words;
  return key;  // a character, or a name such as F5
}

// Toada's speed steps are equal ratios over -10..10: the whole range.
int ToadaSpeed(int rate) { return (std::clamp(rate, -100, 100) + (rate < 0 ? -5 : 5)) / 10; }

int ToadaPitch(int pitch) { return pitch * 5 / 100; }

int BuiltInLevel(int rate) { return std::clamp((rate + 100) * 4 / 200 + 1, 1, 5); }

float VolumeRatio(int volume) {
  return volume < 0 ? 1.0f + 0.9f * float(volume) / 100.0f : 1.0f + float(volume) / 100.0f;
}

std::string AudioEvent(const int16_t* samples, size_t count, uint32_t rate) {
  std::string out = "705-bits=16\n705-num_channels=1\n705-sample_rate=" + std::to_string(rate) +
                    "\n705-num_samples=" + std::to_string(count) + "\n705-big_endian=0\n705-AUDIO";
  out += '\0';
  // A line end or the escape byte in the samples goes as the escape byte
  // followed by itself with bit 5 turned over.
  const char escape = 0x7d;
  for (size_t i = 0; i < count; ++i) {
    const char bytes[2] = {char(uint16_t(samples[i]) & 0xff), char(uint16_t(samples[i]) >> 8)};
    for (char b : bytes) {
      if (b == '\n' || b == escape) {
        out += escape;
        b = char(b ^ 0x20);
      }
      out += b;
    }
  }
  return out + "\n705 AUDIO\n";
}

}  // namespace sd
