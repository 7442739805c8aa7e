// A TCP connection over the loopback whose peer has hung up: it polls as
// hung up. Reset (closed abortively), it has no peer address any more, as a
// display's connection has none once its server is killed with requests
// unread; closed in order, it keeps its peer's, another service's. Returns
// our end, or -1.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

inline int hungUpConnection(bool reset) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  auto* at = reinterpret_cast<sockaddr*>(&address);
  socklen_t length = sizeof address;
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  int ours = socket(AF_INET, SOCK_STREAM, 0);
  int theirs = -1;
  if (bind(listener, at, length) == 0 && listen(listener, 1) == 0 &&
      getsockname(listener, at, &length) == 0 && connect(ours, at, length) == 0)
    theirs = accept(listener, nullptr, nullptr);
  const linger abortively{1, 0};  // closing then sends a reset
  const bool closing = theirs >= 0 && (!reset || setsockopt(theirs, SOL_SOCKET, SO_LINGER, &abortively,
                                                            sizeof abortively) == 0);
  close(theirs);
  close(listener);
  // The reset or the end may still be on its way.
  pollfd hungUp{ours, POLLRDHUP, 0};
  if (!closing || poll(&hungUp, 1, 10'000) != 1) {
    close(ours);
    return -1;
  }
  return ours;
}

inline int resetConnection() { return hungUpConnection(true); }
