// Preloaded into the program by the display-loss tests, as a GL driver with
// a bug and sockets of its own would be. Asked whether the display has GLX,
// as the toolkit starts and before its window exists, it opens a socket
// pair and closes the far end, a TCP socket it never connects and a TCP
// connection whose peer, not the display's, ends it; at its
// first glFlush, once the window is up, it opens a TCP connection whose peer
// resets it. All of them poll as hung up, and none is the display's. It faults, by a store through a null
// pointer the compiler cannot see coming, in the call that $FAULT_IN names; "glXQueryExtension once the
// display is gone" says so on standard error and waits for that first, as a driver reading a reply that never
// came would fault.
#include <GL/glx.h>
#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "reset_connection.hpp"

namespace {

bool faultIn(const char* call) {
  const char* named = std::getenv("FAULT_IN");
  return named != nullptr && std::strcmp(named, call) == 0;
}

void fault() {
  volatile std::uintptr_t nowhere = 0;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
}

template <typename Function>
Function* next(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" Bool glXQueryExtension(Display* display, int* errorBase, int* eventBase) {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) close(pair[1]);
  socket(AF_INET, SOCK_STREAM, 0);
  hungUpConnection(false);
  if (faultIn("glXQueryExtension once the display is gone")) {
    static const char waiting[] = "faulty GL driver: waiting for the display to go\n";
    (void)!write(STDERR_FILENO, waiting, sizeof waiting - 1);
    pollfd connection{ConnectionNumber(display), POLLRDHUP, 0};
    poll(&connection, 1, 60'000);
    fault();
  }
  if (faultIn("glXQueryExtension")) fault();
  return next<decltype(glXQueryExtension)>("glXQueryExtension")(display, errorBase, eventBase);
}

extern "C" void glFlush() {
  [[maybe_unused]] static const int connection = resetConnection();
  if (faultIn("glFlush")) fault();
  next<decltype(glFlush)>("glFlush")();
}
