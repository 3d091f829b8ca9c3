#include "LinkTestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "machine/MachineRoot.h"

namespace linktest {

namespace {

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *) {
  remove(path);
  return 0;
}

long long NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

void RemoveTree(const std::string &path) {
  if (!path.empty())
    nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

TempMachineRoot::TempMachineRoot() {
  const char *previous = std::getenv(machine::kRootVariable);
  if (previous != nullptr) {
    hadPrevious_ = true;
    previous_ = previous;
  }
  const char *tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/link-root-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) != nullptr)
    path_ = name.data();
  setenv(machine::kRootVariable, path_.c_str(), 1);
  machine::RootPath(); // lay the root out now
}

TempMachineRoot::~TempMachineRoot() {
  RemoveTree(path_);
  if (hadPrevious_)
    setenv(machine::kRootVariable, previous_.c_str(), 1);
  else
    unsetenv(machine::kRootVariable);
}

FakePort::FakePort(const std::string &portName) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0)
    return;
  const char *slave = nullptr;
  if (grantpt(master) != 0 || unlockpt(master) != 0 || (slave = ptsname(master)) == nullptr) {
    close(master);
    return;
  }
  slave_ = slave;
  slaveHold_ = open(slave_.c_str(), O_RDWR | O_NOCTTY);
  if (slaveHold_ < 0) {
    close(master);
    return;
  }
  termios raw;
  tcgetattr(slaveHold_, &raw);
  cfmakeraw(&raw);
  tcsetattr(slaveHold_, TCSANOW, &raw);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  machine::RootPath();
  link_ = machine::PortLink(portName);
  unlink(link_.c_str());
  if (symlink(slave_.c_str(), link_.c_str()) != 0) {
    close(master);
    return;
  }
  master_ = master;
}

FakePort::~FakePort() {
  if (!link_.empty())
    unlink(link_.c_str());
  if (slaveHold_ >= 0)
    close(slaveHold_);
  if (master_ >= 0)
    close(master_);
}

bool FakePort::Send(const std::vector<unsigned char> &bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd fd = {master_, POLLOUT, 0};
      poll(&fd, 1, 1000);
    } else if (n < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

std::vector<unsigned char> FakePort::Receive(size_t count, int timeoutMs) {
  std::vector<unsigned char> got;
  const long long deadline = NowMs() + timeoutMs;
  while (got.size() < count) {
    const long long left = deadline - NowMs();
    if (left <= 0)
      break;
    pollfd fd = {master_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left)) <= 0)
      continue;
    unsigned char buffer[512];
    const size_t want = count - got.size() < sizeof buffer ? count - got.size() : sizeof buffer;
    const ssize_t n = read(master_, buffer, want);
    if (n > 0)
      got.insert(got.end(), buffer, buffer + n);
    else if (n < 0 && errno != EAGAIN && errno != EINTR)
      break;
  }
  return got;
}

void FakePort::HangUp() {
  if (slaveHold_ >= 0)
    close(slaveHold_);
  if (master_ >= 0)
    close(master_);
  slaveHold_ = -1;
  master_ = -1;
}

std::vector<unsigned char> FakePort::Drain() {
  std::vector<unsigned char> got;
  unsigned char buffer[512];
  for (;;) {
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0)
      break;
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

} // namespace linktest
