#include "platform/os/bell.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

// Straight to the terminal: standard error may be held back while the
// terminal display draws, and the bell must sound now.
void RingTerminalBell() {
  int fd = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  ssize_t ignored = write(fd, "\a", 1);
  (void)ignored;
  close(fd);
}

}  // namespace platform
