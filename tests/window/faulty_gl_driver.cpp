// Preloaded into the program by the display-loss tests, as a GL driver with
// a bug and sockets of its own would be. Creating the GL context, as the
// toolkit starts and before its window exists, it opens a socket pair and
// closes the far end; at its first glFlush, once the window is up, it opens
// a TCP connection whose peer resets it. Both have hung up, and neither is
// the display's. It faults, by a store through a null pointer the compiler
// cannot see coming, in the call that $FAULT_IN names.
#include <GL/glx.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "reset_connection.hpp"

namespace {

void faultIfNamed(const char* call) {
  const char* named = std::getenv("FAULT_IN");
  if (named == nullptr || std::strcmp(named, call) != 0) return;
  volatile std::uintptr_t nowhere = 0;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
}

template <typename Function>
Function* next(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" GLXContext glXCreateNewContext(Display* display, GLXFBConfig config, int type, GLXContext shared,
                                          Bool direct) {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) close(pair[1]);
  faultIfNamed("glXCreateNewContext");
  return next<decltype(glXCreateNewContext)>("glXCreateNewContext")(display, config, type, shared, direct);
}

extern "C" void glFlush() {
  [[maybe_unused]] static const int connection = resetConnection();
  faultIfNamed("glFlush");
  next<decltype(glFlush)>("glFlush")();
}
