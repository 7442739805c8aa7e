// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "x_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace {

bool onPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got;
  for (off_t at = 0; (got = pread(fd, buffer, sizeof buffer, at)) > 0; at += got) text.append(buffer, got);
  return text;
}

// A window that vanishes between two requests is normal here; Xlib's default
// handler would end the whole test run on the first such error.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

std::string failed(const char* call) { return std::string(call) + " failed: " + std::strerror(errno); }

// In the child between fork and exec: the output goes where it is told, or
// the child ends as if the program could not be run.
void redirectOrExit(int from, int to) {
  if (from < 0 || dup2(from, to) < 0) _exit(127);
}

// A parent that ignores SIGCHLD passes that on, and the kernel then reaps
// our children itself: waitpid() would never return them, and their pids
// could be reused. Children must wait for us to reap them.
void keepChildrenForReaping() { signal(SIGCHLD, SIG_DFL); }

// Our child, not reaped yet, and (when `running`) not ended either: its pid
// cannot belong to anyone else until we reap it, so it is safe to signal.
// kill() with 0 or -1 would signal our whole process group or every
// process we may signal.
bool unreapedChild(pid_t pid, bool running = false) {
  siginfo_t about{};
  return pid > 0 && waitid(P_PID, static_cast<id_t>(pid), &about, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         (!running || about.si_pid == 0);
}
bool runningChild(pid_t pid) { return unreapedChild(pid, true); }

void endProcess(pid_t pid) {
  if (runningChild(pid)) kill(pid, SIGKILL);
  if (unreapedChild(pid)) waitpid(pid, nullptr, 0);
}

void endServer(pid_t pid) {
  // Xvfb can miss a SIGTERM that arrives just before it goes back to sleep,
  // and then sleeps for minutes: ask again every 100 ms, then insist.
  for (int attempt = 0; attempt < 50 && runningChild(pid); ++attempt) {
    kill(pid, SIGTERM);
    timespec pause{0, 100'000'000};
    nanosleep(&pause, nullptr);
  }
  endProcess(pid);
}

}  // namespace

PrivateXServer::PrivateXServer(Transport transport) {
  keepChildrenForReaping();
  if (!onPath("Xvfb")) {
    error_ = "Xvfb is not installed (Debian package xvfb): the window tests cannot run";
    return;
  }
  int ready[2];
  if (pipe(ready) != 0) {
    error_ = failed("pipe");
    return;
  }
  pid_ = fork();
  if (pid_ < 0) {
    error_ = failed("fork");
    close(ready[0]);
    close(ready[1]);
    return;
  }
  if (pid_ == 0) {
    close(ready[0]);
    const std::string fd = std::to_string(ready[1]);
    const int devnull = open("/dev/null", O_WRONLY);
    redirectOrExit(devnull, STDOUT_FILENO);
    redirectOrExit(devnull, STDERR_FILENO);
    const char* listening = transport == Transport::TCP ? "-listen" : "-nolisten";
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x4096x24", listening, "tcp",
           "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  const auto deadline = Clock::now() + PATIENCE;
  while (number.find('\n') == std::string::npos && Clock::now() < deadline) {
    if (poll(&wait, 1, 1000) <= 0) continue;
    char c;
    if (read(ready[0], &c, 1) != 1) break;
    number += c;
  }
  close(ready[0]);
  if (number.find('\n') == std::string::npos) {
    error_ = "Xvfb did not report a display number";
    return;
  }
  name_ = (transport == Transport::TCP ? "127.0.0.1:" : ":") + number.substr(0, number.find('\n'));
  XSetErrorHandler(ignoreXErrors);
  connection_ = XOpenDisplay(name_.c_str());
  if (connection_ == nullptr) error_ = "cannot connect to Xvfb on " + name_;
}

PrivateXServer::~PrivateXServer() {
  if (connection_ != nullptr) XCloseDisplay(connection_);
  endServer(pid_);
}

void PrivateXServer::crash() {
  if (connection_ != nullptr) XCloseDisplay(connection_);
  connection_ = nullptr;
  endProcess(pid_);
  pid_ = -1;
}

RunningProgram::RunningProgram(const std::string& path, const std::vector<std::string>& argv,
                               const std::string& display, const std::vector<std::string>& environment)
    : stdout_(memfd_create("stdout", 0)), stderr_(memfd_create("stderr", 0)) {
  keepChildrenForReaping();
  // A program that cannot be started fails the test and looks like one
  // that could not be executed, which ended at once with status 127.
  const auto cannotStart = [&](const char* call) {
    ADD_FAILURE() << "cannot start " << path << ": " << failed(call);
    status_ = 127 << 8;
  };
  if (stdout_ < 0 || stderr_ < 0) {
    cannotStart("memfd_create");
    return;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::string displayVariable = "DISPLAY=" + display;
  pid_ = fork();
  if (pid_ < 0) {
    cannotStart("fork");
    return;
  }
  if (pid_ == 0) {
    redirectOrExit(stdout_, STDOUT_FILENO);
    redirectOrExit(stderr_, STDERR_FILENO);
    // A fault a test provokes leaves no core file behind.
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (display.empty()) {
      unsetenv("DISPLAY");
    } else {
      putenv(const_cast<char*>(displayVariable.c_str()));
    }
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    execve(path.c_str(), args.data(), environ);
    _exit(127);
  }
}

RunningProgram::~RunningProgram() {
  if (!exitStatus()) endProcess(pid_);
  if (stdout_ >= 0) close(stdout_);
  if (stderr_ >= 0) close(stderr_);
}

void RunningProgram::signal(int number) const {
  if (runningChild(pid_)) kill(pid_, number);
}

bool RunningProgram::processExists() const { return runningChild(pid_); }

std::string RunningProgram::standardOutput() const { return readAll(stdout_); }
std::string RunningProgram::standardError() const { return readAll(stderr_); }

std::optional<int> RunningProgram::exitStatus() {
  int status = 0;
  // waitpid(-1) would reap any child of the test's.
  if (!status_ && pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
  return status_;
}

std::optional<int> RunningProgram::waitForExit(std::chrono::seconds patience) {
  waitFor([&] { return exitStatus().has_value(); }, std::chrono::milliseconds(20), patience);
  return exitStatus();
}

long RunningProgram::residentKiB() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

double RunningProgram::cpuSeconds() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields 14 and 15 (utime, stime) follow the parenthesised command name.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string skip;
  for (int field = 3; field < 14; ++field) fields >> skip;
  long user = 0, system = 0;
  fields >> user >> system;
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string faultsEndInTheirSignal() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return std::string("ASAN_OPTIONS=") + (options != nullptr ? std::string(options) + ":" : "") +
         "handle_segv=0:handle_sigbus=0";
}

std::string windowTitle(Display* x, Window w) {
  char* name = nullptr;
  if (XFetchName(x, w, &name) == 0 || name == nullptr) return {};
  std::string title = name;
  XFree(name);
  return title;
}

std::optional<Window> findWindowByTitle(Display* x, const std::string& title) {
  std::optional<Window> found;
  waitFor([&] {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i)
      if (windowTitle(x, children[i]) == title) found = children[i];
    if (children != nullptr) XFree(children);
    return found.has_value();
  });
  return found;
}
