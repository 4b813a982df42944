// build-dfn: the diphone list (".dfn") of an MBROLA voice, found by asking
// the voice itself. Every pair of the phonemes that the prosody file gives
// durations for (and the silence "_") is spoken once by `mbrola -e`, which
// names each diphone it lacks; the list is every other pair, sorted, so the
// same voice always gives the same file. Beside it, OUTPUT.voz holds the
// voice's natural pitch ("HERTZ=n"): a vowel spoken without pitch targets
// comes at the pitch the voice was recorded at, measured by autocorrelation.
//
//   build-dfn PROSODY.pro VOICE [RENAMES.rnm] OUTPUT.dfn
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/voices/mbrola.h"
#include "platform/os/spawn.h"

namespace {

// The phoneme names of the [DURA...O] section: "name = milliseconds" lines.
std::vector<std::string> PhonemesOf(const std::string& prosodyPath) {
  std::ifstream in(prosodyPath, std::ios::binary);
  std::set<std::string> names{"_"};
  bool inDurations = false;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '*') continue;
    if (line[0] == '[') {
      inDurations = line.rfind("[DURA", 0) == 0;
      continue;
    }
    size_t eq = line.find('=');
    if (!inDurations || eq == std::string::npos) continue;
    std::istringstream name(line.substr(0, eq));
    std::string n;
    if (name >> n) names.insert(n);
  }
  return {names.begin(), names.end()};
}

// Runs mbrola on the input and returns what it says on its messages and
// what it writes on its output.
bool RunMbrola(const std::vector<std::string>& args, const std::string& input, std::string& said,
               std::string* output = nullptr) {
  platform::PipedChild child;
  if (!platform::StartPipedChild(platform::MbrolaProgram(), args, child)) return false;
  size_t sent = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  char chunk[65536];
  while ((child.output >= 0 || child.messages >= 0) && std::chrono::steady_clock::now() < deadline) {
    if (child.input >= 0 && sent == input.size()) platform::CloseChildInput(child);
    pollfd fds[3] = {{child.output, POLLIN, 0}, {child.messages, POLLIN, 0},
                     {child.input, POLLOUT, 0}};
    if (poll(fds, 3, 100) <= 0) continue;
    if (fds[2].revents & POLLOUT) {
      long n = platform::WriteChildInput(child, input.data() + sent, input.size() - sent);
      sent = n < 0 ? input.size() : sent + size_t(n);
    }
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? child.output : child.messages;
      if (fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t r = read(fd, chunk, sizeof chunk);
      if (r > 0 && i == 1) said.append(chunk, size_t(r));
      if (r > 0 && i == 0 && output) output->append(chunk, size_t(r));
      if (r == 0) close(fd), fd = -1;
    }
  }
  int status = platform::EndPipedChild(child);
  return status == 0;
}

// The pitch of a steady vowel: the lag of the first autocorrelation peak
// near the highest one, between 60 and 400 Hz. 0 when none is clear.
int NaturalPitch(const std::string& wav) {
  if (wav.size() < 44 + 2000 || wav.compare(0, 4, "RIFF") != 0) return 0;
  const unsigned char* h = reinterpret_cast<const unsigned char*>(wav.data());
  int rate = int(h[24] | h[25] << 8 | h[26] << 16 | unsigned(h[27]) << 24);
  std::vector<double> x;
  for (size_t i = 44; i + 1 < wav.size(); i += 2)
    x.push_back(double(int16_t(uint16_t(h[i] | h[i + 1] << 8))));
  size_t n = size_t(rate / 10), start = x.size() / 2 - n / 2;  // 100 ms from the middle
  size_t lo = size_t(rate / 400), hi = size_t(rate / 60);
  if (rate <= 0 || start + n + hi >= x.size()) return 0;
  std::vector<double> r(hi + 2, 0.0);
  for (size_t lag = lo; lag <= hi + 1; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = start; i < start + n; ++i) {
      xy += x[i] * x[i + lag];
      xx += x[i] * x[i];
      yy += x[i + lag] * x[i + lag];
    }
    r[lag] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
  }
  double best = *std::max_element(r.begin() + long(lo), r.end());
  if (best < 0.5) return 0;
  for (size_t lag = lo + 1; lag <= hi; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    // The peak between two lags, from the parabola through three.
    double a = r[lag - 1], b = r[lag], c = r[lag + 1];
    double shift = (a - 2 * b + c) != 0 ? 0.5 * (a - c) / (a - 2 * b + c) : 0;
    return int(std::lround(rate / (double(lag) + shift)));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "uso: build-dfn PROSODIA.pro VOZ [RENOMES.rnm] SAIDA.dfn\n");
    return 2;
  }
  std::string voice = platform::MbrolaVoiceFile(argv[2]);
  if (voice.empty()) voice = argv[2];
  if (platform::MbrolaProgram().empty()) {
    std::fprintf(stderr, "build-dfn: o programa mbrola n\xC3\xA3o foi encontrado\n");
    return 1;
  }
  std::vector<std::string> phonemes = PhonemesOf(argv[1]);
  if (phonemes.size() < 2) {
    std::fprintf(stderr, "build-dfn: nenhum fonema em %s\n", argv[1]);
    return 1;
  }
  std::vector<std::string> args{"-e"};
  if (argc == 5) {
    std::string renames, clones;
    platform::ReadMbrolaRenames(argv[3], renames, clones);
    if (!renames.empty()) args.insert(args.end(), {"-R", renames});
    if (!clones.empty()) args.insert(args.end(), {"-C", clones});
  }
  args.insert(args.end(), {voice, "-", "-.raw"});
  // Each pair once, followed by a silence and a flush: MBROLA cannot hold
  // a long run of phones without pitch points.
  std::string input;
  for (const std::string& a : phonemes)
    for (const std::string& b : phonemes) input += a + " 40\n" + b + " 40\n_ 10\n#\n";
  std::string said;
  if (!RunMbrola(args, input, said)) {
    std::fprintf(stderr, "build-dfn: o mbrola falhou com a voz %s\n%s", voice.c_str(), said.c_str());
    return 1;
  }
  std::set<std::string> missing;
  std::istringstream lines(said);
  for (std::string line; std::getline(lines, line);) {
    char pair[128];
    if (std::sscanf(line.c_str(), "Warning: %127s unknown", pair) == 1) missing.insert(pair);
  }
  std::ofstream out(argv[argc - 1], std::ios::binary);
  out << "; Difones da voz " << argv[2] << " do MBROLA (gerado por build-dfn)\n";
  size_t count = 0;
  for (const std::string& a : phonemes)
    for (const std::string& b : phonemes)
      if (!missing.count(a + "-" + b)) out << a << "-" << b << "\n", ++count;
  out.close();
  if (!out) {
    std::fprintf(stderr, "build-dfn: %s n\xC3\xA3o pode ser escrito\n", argv[argc - 1]);
    return 1;
  }
  std::printf("build-dfn: %zu de %zu difones em %s\n", count, phonemes.size() * phonemes.size(),
              argv[argc - 1]);
  // The natural pitch: a long vowel with no pitch target.
  std::vector<std::string> wavArgs(args.begin(), args.end() - 1);
  wavArgs.push_back("-.wav");
  std::string wav, ignored;
  int hertz = RunMbrola(wavArgs, "_ 50\na 500\n_ 50\n#\n", ignored, &wav) ? NaturalPitch(wav) : 0;
  std::string vozPath = argv[argc - 1];
  vozPath = vozPath.substr(0, vozPath.rfind('.')) + ".voz";
  std::ofstream voz(vozPath, std::ios::binary);
  voz << "; Altura natural da voz " << argv[2] << " do MBROLA (gerado por build-dfn)\n";
  if (hertz > 0) voz << "HERTZ=" << hertz << "\n";
  voz.close();
  if (!voz) {
    std::fprintf(stderr, "build-dfn: %s n\xC3\xA3o pode ser escrito\n", vozPath.c_str());
    return 1;
  }
  std::printf("build-dfn: altura natural %d Hz em %s\n", hertz, vozPath.c_str());
  return 0;
}
