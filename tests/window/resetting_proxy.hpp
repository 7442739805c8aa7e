// A display of its own over TCP, 127.0.0.1:N, that passes every byte
// between one program and an X server's TCP port until it is told to reset
// the program's connection. A killed server's kernel closes the
// connections in order when nothing is left unread, so the program's end
// keeps its peer's address; reset (closed with SO_LINGER 0) it has none, as
// when a router or a firewall between them drops the connection.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

class ResettingProxy {
 public:
  // Passes on to the server listening on the loopback's `serverPort`;
  // name() is empty when no display number was free.
  explicit ResettingProxy(int serverPort) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    for (int number = 100; number < 1000 && name_.empty(); ++number)
      if (const sockaddr_in address = loopback(6000 + number);
          bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
          listen(listener_, 1) == 0)
        name_ = "127.0.0.1:" + std::to_string(number);
    if (!name_.empty() && pipe(wake_) == 0) relay_ = std::thread([this, serverPort] { relay(serverPort); });
  }
  ~ResettingProxy() { reset(); }
  ResettingProxy(const ResettingProxy&) = delete;
  ResettingProxy& operator=(const ResettingProxy&) = delete;

  const std::string& name() const { return name_; }

  // Resets the program's connection (and closes the server's); the proxy
  // takes no other.
  void reset() {
    if (relay_.joinable()) {
      (void)!write(wake_[1], "", 1);
      relay_.join();
      close(wake_[0]);
      close(wake_[1]);
    }
    if (listener_ >= 0) close(listener_);
    listener_ = -1;
  }

 private:
  static sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }

  // Until woken: waits for the program, then copies both ways.
  void relay(int serverPort) {
    pollfd waiting[] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(waiting, 2, -1) < 1 || waiting[1].revents != 0) return;
    const int program = accept(listener_, nullptr, nullptr);
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(serverPort);
    if (program >= 0 && connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      pollfd ends[] = {{program, POLLIN, 0}, {server, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      while (poll(ends, 3, -1) > 0 && ends[2].revents == 0 && passOn(ends[0], server) &&
             passOn(ends[1], program)) {
      }
    }
    const linger abortively{1, 0};
    setsockopt(program, SOL_SOCKET, SO_LINGER, &abortively, sizeof abortively);
    close(program);
    close(server);
  }

  // False once `from` has ended.
  static bool passOn(const pollfd& from, int to) {
    if (from.revents == 0) return true;
    char buffer[65536];
    const ssize_t got = read(from.fd, buffer, sizeof buffer);
    for (ssize_t sent = 0, now = 0; sent < got; sent += now)
      if ((now = write(to, buffer + sent, got - sent)) <= 0) return false;
    return got > 0;
  }

  int listener_ = -1;
  int wake_[2] = {-1, -1};
  std::string name_;
  std::thread relay_;
};
