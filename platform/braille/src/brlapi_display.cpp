// The Braille display through BrlAPI, the client library of the user's
// BRLTTY. A thread of its own owns the connection, so that a BRLTTY that
// is slow, stopped or gone never holds up the program: the UI thread only
// leaves the latest picture for it and wakes it; keys come back as posted
// messages. A lost connection is tried again every second, sleeping in
// between.
#include <brlapi.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/braille/braille.h"
#include "platform/os/library.h"
#include "platform/os/text.h"

namespace platform {
namespace {

constexpr int kFirstAnswerMs = 200;
constexpr int kRetryMs = 1000;
constexpr int kEndWaitMs = 100;

// Shared by the UI thread and the connection's thread.
struct Link {
  std::mutex mutex;
  std::condition_variable changed;
  bool firstTried = false;
  bool stop = false;
  bool ended = false;
  int cells = 0;
  std::string text;  // the latest picture, UTF-8
  int cursor = -1;
  bool dirty = false;
  int wake[2] = {-1, -1};  // the UI thread's news for the connection's thread

  ~Link() {
    for (int fd : wake)
      if (fd >= 0) close(fd);
  }
  void Wake() {
    char byte = 1;
    ssize_t ignored = write(wake[1], &byte, 1);
    (void)ignored;
  }
  bool Stopping() {
    std::lock_guard<std::mutex> lock(mutex);
    return stop;
  }
};

// The keys that the program takes; every other key stays BRLTTY's.
struct KeyMap {
  brlapi_keyCode_t command;
  BrailleEvent event;
};
constexpr KeyMap kKeys[] = {
    {BRLAPI_KEY_CMD_FWINLT, BRAILLE_PAN_LEFT},
    {BRLAPI_KEY_CMD_FWINRT, BRAILLE_PAN_RIGHT},
    {BRLAPI_KEY_CMD_LNUP, BRAILLE_LINE_UP},
    {BRLAPI_KEY_CMD_LNDN, BRAILLE_LINE_DOWN},
};

// BrlAPI is opened when the Braille display is chosen.
#define SONARIS_BRLAPI(F)                                                             \
  F(brlapi__acceptKeys) F(brlapi__closeConnection) F(brlapi__enterTtyModeWithPath)    \
  F(brlapi__getDisplaySize) F(brlapi__ignoreKeys) F(brlapi__openConnection)           \
  F(brlapi__readKeyWithTimeout) F(brlapi__setExceptionHandler) F(brlapi__write)       \
  F(brlapi_error_location) F(brlapi_getHandleSize)
struct Library {
  SONARIS_BRLAPI(SONARIS_LIBRARY_POINTER)
};
Library lib;

thread_local bool connectionBroken = false;

// BrlAPI's own handler ends the program; here an error only ends the
// connection, which is then tried again.
void OnBrlapiError(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {
  connectionBroken = true;
}

void PostKey(brlapi_keyCode_t code) {
  if ((code & BRLAPI_KEY_TYPE_MASK) != BRLAPI_KEY_TYPE_CMD) return;
  brlapi_keyCode_t command = code & BRLAPI_KEY_CODE_MASK;
  if ((command & BRLAPI_KEY_CMD_BLK_MASK) == BRLAPI_KEY_CMD_ROUTE) {
    PostMessage(WM_BRAILLE, BRAILLE_ROUTE, static_cast<intptr_t>(command & BRLAPI_KEY_CMD_ARG_MASK));
    return;
  }
  for (const KeyMap& key : kKeys)
    if (key.command == command) PostMessage(WM_BRAILLE, key.event);
}

int CountCharacters(const std::string& utf8) {
  int count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

class Connection {
 public:
  explicit Connection(Link& link) : link_(link), memory_(lib.brlapi_getHandleSize()) {
    handle_ = reinterpret_cast<brlapi_handle_t*>(memory_.data());
  }

  // Connects to the BRLTTY that BRLAPI_HOST names (else the system's),
  // takes the screen's focus and asks for our keys only.
  bool Open() {
    connectionBroken = false;
    brlapi_connectionSettings_t settings = {nullptr, nullptr};
    fd_ = lib.brlapi__openConnection(handle_, &settings, nullptr);
    if (fd_ < 0) return false;
    lib.brlapi__setExceptionHandler(handle_, OnBrlapiError);
    unsigned columns = 0, rows = 0;
    bool ok = lib.brlapi__enterTtyModeWithPath(handle_, nullptr, 0, nullptr) >= 0 &&
              lib.brlapi__getDisplaySize(handle_, &columns, &rows) >= 0 && columns > 0 &&
              AcceptOurKeys();
    if (!ok) {
      Close();
      return false;
    }
    std::lock_guard<std::mutex> lock(link_.mutex);
    link_.cells = static_cast<int>(columns);
    return true;
  }

  void Close() {
    if (fd_ < 0) return;
    lib.brlapi__closeConnection(handle_);
    fd_ = -1;
    std::lock_guard<std::mutex> lock(link_.mutex);
    link_.cells = 0;
  }

  // Shows pictures and reads keys until the connection ends or the
  // program lets the display go.
  void Serve() {
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {link_.wake[0], POLLIN, 0}};
      if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
      if (fds[1].revents) DrainWake(link_);
      if (link_.Stopping()) return;
      if (!WritePicture() || !ReadKeys() || connectionBroken) return;
      // A closed socket with nothing left to read: BRLTTY has gone.
      if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return;
    }
  }

  static void DrainWake(Link& link) {
    char bytes[64];
    while (read(link.wake[0], bytes, sizeof bytes) > 0) {
    }
  }

 private:
  bool AcceptOurKeys() {
    if (lib.brlapi__ignoreKeys(handle_, brlapi_rangeType_all, nullptr, 0) < 0) return false;
    brlapi_keyCode_t route = BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_ROUTE;
    if (lib.brlapi__acceptKeys(handle_, brlapi_rangeType_command, &route, 1) < 0) return false;
    for (const KeyMap& key : kKeys) {
      brlapi_keyCode_t code = BRLAPI_KEY_TYPE_CMD | key.command;
      if (lib.brlapi__acceptKeys(handle_, brlapi_rangeType_key, &code, 1) < 0) return false;
    }
    return true;
  }

  bool WritePicture() {
    std::string text;
    int cursor;
    {
      std::lock_guard<std::mutex> lock(link_.mutex);
      if (!link_.dirty) return true;
      link_.dirty = false;
      text = link_.text;
      cursor = link_.cursor;
    }
    brlapi_writeArguments_t arguments = BRLAPI_WRITEARGUMENTS_INITIALIZER;
    arguments.regionBegin = 1;
    // Negative: padded or cut to the display's width.
    arguments.regionSize = -CountCharacters(text);
    arguments.text = text.c_str();
    arguments.textSize = static_cast<int>(text.size());
    arguments.cursor = cursor >= 0 ? cursor + 1 : BRLAPI_CURSOR_OFF;
    arguments.charset = "UTF-8";
    return text.empty() || lib.brlapi__write(handle_, &arguments) >= 0;
  }

  bool ReadKeys() {
    for (;;) {
      brlapi_keyCode_t code = 0;
      int got = lib.brlapi__readKeyWithTimeout(handle_, 0, &code);
      if (got == 0) return true;
      if (got > 0) {
        PostKey(code);
        continue;
      }
      // A parameter change notice interrupts a read; it is not an error.
      if (lib.brlapi_error_location()->brlerrno == BRLAPI_ERROR_LIBCERR &&
          lib.brlapi_error_location()->libcerrno == EINTR) continue;
      return false;
    }
  }

  Link& link_;
  std::vector<char> memory_;
  brlapi_handle_t* handle_;
  int fd_ = -1;
};

// Sleeps until the retry time or the program's news.
void Pause(Link& link, int ms) {
  pollfd fd = {link.wake[0], POLLIN, 0};
  if (poll(&fd, 1, ms) > 0) Connection::DrainWake(link);
}

void Run(std::shared_ptr<Link> link) {
  // A write to a BRLTTY that has gone fails with EPIPE instead of ending
  // the program.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  Connection connection(*link);
  while (!link->Stopping()) {
    bool open = connection.Open();
    {
      std::lock_guard<std::mutex> lock(link->mutex);
      link->firstTried = true;
      link->dirty = open && !link->text.empty();
    }
    link->changed.notify_all();
    if (open) {
      PostMessage(WM_BRAILLE, BRAILLE_CHANGED);
      connection.Serve();
      connection.Close();
      PostMessage(WM_BRAILLE, BRAILLE_CHANGED);
    }
    if (!link->Stopping()) Pause(*link, kRetryMs);
  }
  {
    std::lock_guard<std::mutex> lock(link->mutex);
    link->ended = true;
  }
  link->changed.notify_all();
}

class BrlapiBraille : public BrailleDisplay {
 public:
  BrlapiBraille() : link_(std::make_shared<Link>()) {
    if (pipe2(link_->wake, O_CLOEXEC | O_NONBLOCK) != 0) return;
    std::thread(Run, link_).detach();
    std::unique_lock<std::mutex> lock(link_->mutex);
    bool answered = link_->changed.wait_for(lock, std::chrono::milliseconds(kFirstAnswerMs),
                                            [this] { return link_->firstTried; });
    if (link_->cells > 0) return;
    std::string said = answered ? "BRLTTY ausente" : "o BRLTTY n\xE3o respondeu a tempo";
    std::fprintf(stderr, "%s\n",
                 Cp1252ToUtf8("Sonaris: sem linha Braille (" + said +
                              "); s\xF3 a fala, tentando de novo a cada segundo.")
                     .c_str());
  }

  // Lets the thread close the connection, waiting only briefly: a BRLTTY
  // that hangs must not hang the program's end.
  ~BrlapiBraille() override {
    if (link_->wake[1] < 0) return;
    std::unique_lock<std::mutex> lock(link_->mutex);
    link_->stop = true;
    link_->Wake();
    link_->changed.wait_for(lock, std::chrono::milliseconds(kEndWaitMs),
                            [this] { return link_->ended; });
  }

  int Cells() const override {
    std::lock_guard<std::mutex> lock(link_->mutex);
    return link_->cells;
  }

  void Show(const std::string& utf8, int cursor) override {
    {
      std::lock_guard<std::mutex> lock(link_->mutex);
      link_->text = utf8;
      link_->cursor = cursor;
      link_->dirty = true;
    }
    link_->Wake();
  }

 private:
  std::shared_ptr<Link> link_;
};

}  // namespace

std::unique_ptr<BrailleDisplay> CreateBrlapiBraille(const std::string&) {
  static std::string missing;
  static const bool open =
      OpenLibrary(SONARIS_BRLAPI_LIBRARY, {SONARIS_BRLAPI(SONARIS_LIBRARY_ENTRY)}, missing);
  if (open) return std::make_unique<BrlapiBraille>();
  std::fprintf(stderr, "Sonaris: sem linha Braille (%s); s\xC3\xB3 a fala.\n", missing.c_str());
  return CreateNoBraille("");
}

}  // namespace platform
