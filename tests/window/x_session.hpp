// A private Xvfb and the real program running on it, for the window tests.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// Generous: the machine may be busy with a parallel build or other tests.
inline constexpr std::chrono::seconds PATIENCE{60};

// Polls `ready` every `interval` until it holds or `patience` runs out;
// true if it held.
template <typename Ready>
bool waitFor(Ready ready, std::chrono::milliseconds interval = std::chrono::milliseconds(20),
             std::chrono::seconds patience = PATIENCE) {
  const auto deadline = Clock::now() + patience;
  while (!ready()) {
    if (Clock::now() > deadline) return false;
    timespec pause{0, static_cast<long>(std::chrono::nanoseconds(interval).count())};
    nanosleep(&pause, nullptr);
  }
  return true;
}

// Xvfb on a display number of its own choosing, so parallel runs never
// collide; error() says why when it could not start.
class PrivateXServer {
 public:
  // Connected to by its Unix socket, or over TCP on the loopback address
  // (as a display reached through ssh -X is).
  enum class Transport { UNIX_SOCKET, TCP };
  explicit PrivateXServer(Transport transport = Transport::UNIX_SOCKET);
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }  // ":N", or "127.0.0.1:N" over TCP
  Display* connection() const { return connection_; }
  // Ends the server at once, as a crash would (our own connection is closed
  // first: Xlib would end the test on its loss).
  void crash();

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* connection_ = nullptr;
  std::string error_;
};

// The program started with exactly `argv` (possibly empty) on `display`
// (no DISPLAY at all when empty), with the test's environment and the
// "NAME=value" entries of `environment` besides, its output kept in
// anonymous files. Ended with SIGKILL if still running when destroyed. One
// that cannot be started fails the test and reports exit status 127.
class RunningProgram {
 public:
  RunningProgram(const std::string& path, const std::vector<std::string>& argv, const std::string& display,
                 const std::vector<std::string>& environment = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Both do nothing for a program that never started or has ended.
  void signal(int number) const;
  bool processExists() const;
  std::string standardOutput() const;
  std::string standardError() const;
  // The wait status once the process has ended, nothing while it runs.
  std::optional<int> exitStatus();
  // Waits up to `patience` for the end.
  std::optional<int> waitForExit(std::chrono::seconds patience = PATIENCE);
  long residentKiB() const;
  double cpuSeconds() const;  // user and system time used so far

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  int stderr_ = -1;
  std::optional<int> status_;
};

// An environment entry for a program that must end in a fault's own signal:
// under AddressSanitizer its handler would catch the fault and exit with a
// report instead.
std::string faultsEndInTheirSignal();

// The top-level window whose WM_NAME is `title`, waiting up to PATIENCE.
std::optional<Window> findWindowByTitle(Display* x, const std::string& title);
std::string windowTitle(Display* x, Window w);
