#include "display_loss.hpp"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// Copied at start: the signal handler may not allocate or call into Xlib.
char displayName[256];
// Xlib and the toolkit wait on the connection with select(), so it is below this.
constexpr int DESCRIPTORS_TO_SCAN = FD_SETSIZE;
// Which descriptors were open before the toolkit connected: none of them is
// its connection (an inherited socket, say).
bool openBeforeTheToolkit[DESCRIPTORS_TO_SCAN];
// The toolkit's connection once its window exists; -1 before, while it is
// one of the sockets opened since that leads to the display's server.
volatile sig_atomic_t toolkitConnection = -1;
// Where display N's server listens: TCP port 6000 + N, and a Unix socket
// whose name ends in /.X11-unix/XN. Unknown (-1, empty) when the display's
// name gives no number; the toolkit cannot connect then anyway.
int displayNumber = -1;
char unixSocketEnding[32];
constexpr int HANDLED_SIGNALS[] = {SIGSEGV, SIGBUS, SIGPIPE};
struct sigaction previousHandling[std::size(HANDLED_SIGNALS)];

// Xlib's own handler would call exit(), and the GL driver's exit handlers
// then talk to the dead connection: some crash, some wait forever. Nothing
// is left to save, so the process ends without them.
[[noreturn]] void reportLostDisplay(const char* name) {
  static const char prefix[] = "wave1d: lost the connection to the X display ";
  (void)!write(STDERR_FILENO, prefix, sizeof prefix - 1);
  (void)!write(STDERR_FILENO, name, std::strlen(name));
  (void)!write(STDERR_FILENO, "\n", 1);
  _exit(1);
}

int onConnectionLost(Display* display) { reportLostDisplay(DisplayString(display)); }

bool isOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

void learnTheDisplaysNumber() {
  const char* colon = std::strrchr(displayName, ':');
  if (colon == nullptr || !std::isdigit(static_cast<unsigned char>(colon[1]))) return;
  displayNumber = std::atoi(colon + 1);
  std::snprintf(unixSocketEnding, sizeof unixSocketEnding, "/.X11-unix/X%d", displayNumber);
}

// The port of an Internet address; 0 for any other address.
int portOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  return 0;
}

// A socket whose peer is known to be something else (a library's, say, to
// its own service) is not the display's. A TCP connection that was reset
// has no peer address any more, the display's as much as any other; one
// never connected (it polls as hung up too) has no local port either.
bool mayLeadToTheDisplay(int fd) {
  sockaddr_storage peer{};
  socklen_t length = sizeof peer;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
    const bool noPeer = errno == ENOTCONN;
    length = sizeof peer;
    return noPeer && getsockname(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 && portOf(peer) != 0;
  }
  if (peer.ss_family != AF_UNIX) return displayNumber >= 0 && portOf(peer) == 6000 + displayNumber;
  // A name in the file system, or after a zero byte in the abstract namespace.
  const char* name = reinterpret_cast<const sockaddr_un&>(peer).sun_path;
  std::size_t size = length - offsetof(sockaddr_un, sun_path);
  if (size > 0 && name[0] == '\0') {
    ++name;
    --size;
  }
  size = strnlen(name, size);
  const std::size_t ending = std::strlen(unixSocketEnding);
  return ending > 0 && size >= ending && std::memcmp(name + size - ending, unixSocketEnding, ending) == 0;
}

bool mayBeTheToolkitsConnection(int fd) {
  if (toolkitConnection >= 0) return fd == toolkitConnection;
  struct stat about {};
  return !openBeforeTheToolkit[fd] && fstat(fd, &about) == 0 && S_ISSOCK(about.st_mode) &&
         mayLeadToTheDisplay(fd);
}

// Only the toolkit's connection hanging up is the display going, over a
// Unix socket or TCP; any other socket of the process (inherited, or a
// library's) that hangs up says nothing of the display.
bool xServerHungUp() {
  for (int fd = 0; fd < DESCRIPTORS_TO_SCAN; ++fd) {
    if (!mayBeTheToolkitsConnection(fd)) continue;
    pollfd socket{fd, POLLRDHUP, 0};
    if (poll(&socket, 1, 0) == 1 && (socket.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return true;
  }
  return false;
}

// Two ways the loss shows besides Xlib's handler: the GL driver asks the
// server about itself while the toolkit starts, and reads a reply that never
// came from a dead connection as a null pointer (a fault); and a request
// written to it raises SIGPIPE. With the server gone, either is the lost
// display. Any other such signal gets the handling it had before (the
// default, or a sanitizer's): a fault's instruction runs again and faults
// again; a SIGPIPE, or a signal sent by kill() (si_code 0 or below), would
// not come again, so it is raised again.
void onSignal(int number, siginfo_t* info, void* /*context*/) {
  if (xServerHungUp()) reportLostDisplay(displayName);
  for (std::size_t i = 0; i < std::size(HANDLED_SIGNALS); ++i)
    if (HANDLED_SIGNALS[i] == number) sigaction(number, &previousHandling[i], nullptr);
  if (number == SIGPIPE || info->si_code <= 0) raise(number);
}

}  // namespace

void endAtOnceWhenTheDisplayIsLost(int argc, char** argv) {
  const char* requested = nullptr;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-display") == 0) requested = argv[i + 1];
  std::strncpy(displayName, XDisplayName(requested), sizeof displayName - 1);
  learnTheDisplaysNumber();
  XSetIOErrorHandler(onConnectionLost);
  for (int fd = 0; fd < DESCRIPTORS_TO_SCAN; ++fd) openBeforeTheToolkit[fd] = isOpen(fd);
  struct sigaction handling {};
  handling.sa_sigaction = onSignal;
  handling.sa_flags = SA_SIGINFO;
  sigemptyset(&handling.sa_mask);
  for (std::size_t i = 0; i < std::size(HANDLED_SIGNALS); ++i)
    sigaction(HANDLED_SIGNALS[i], &handling, &previousHandling[i]);
}

void knowTheToolkitsConnection() {
  if (Display* display = glXGetCurrentDisplay()) toolkitConnection = ConnectionNumber(display);
}
