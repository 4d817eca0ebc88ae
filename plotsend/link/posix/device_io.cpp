// Opening serial and USB devices, and writing descriptors within a time.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/posix/poll_wait.h"
#include "link/posix/posix_link.h"

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0  // SO_NOSIGPIPE is set on the socket instead
#endif

namespace plotsend {
namespace {

// Raw bytes at 38400 8N1 with hardware flow control; reads return at once.
bool ConfigureTty(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return false;
  tio.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
#ifdef CRTSCTS
  tio.c_cflag |= CRTSCTS;
#endif
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, B38400) != 0 || cfsetospeed(&tio, B38400) != 0) return false;
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return false;
  // tcsetattr succeeds when any of the changes was made; check the ones the
  // cutter depends on.
  termios now{};
  return tcgetattr(fd, &now) == 0 && cfgetospeed(&now) == B38400 && (now.c_cflag & CSIZE) == CS8 &&
         (now.c_cflag & (PARENB | CSTOPB)) == 0 && (now.c_oflag & OPOST) == 0;
}

// Opened without blocking on carrier, not as a controlling terminal, and
// locked so that a second user of the device is refused.
int OpenExclusive(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int64_t MsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() < 0 ? 0 : left.count();
}

// Waits until fd takes more bytes. False on time-out, abort or a broken
// descriptor.
bool WaitWritable(int fd, int abortFd, bool limited, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    int waitMs = -1;
    if (limited) {
      const int64_t left = MsUntil(deadline);
      if (left == 0) return false;
      waitMs = left > 1000000 ? 1000000 : static_cast<int>(left);
    }
    short revents = 0;
    const Wake wake = WaitFor(fd, POLLOUT, abortFd, waitMs, revents);
    if (wake == Wake::TimedOut) continue;  // the deadline is checked above
    if (wake != Wake::Ready) return false;
    return (revents & POLLOUT) != 0;  // not POLLERR, POLLHUP or POLLNVAL without room
  }
}

}  // namespace

DeviceHandle OpenSerialDevice(const std::string& name) {
  const int fd = OpenExclusive(name);
  if (fd < 0) return kInvalidDevice;
  if (!ConfigureTty(fd)) {
    close(fd);
    return kInvalidDevice;
  }
  ioctl(fd, TIOCEXCL);
  tcflush(fd, TCIOFLUSH);
  return DeviceOfFd(fd);
}

DeviceHandle OpenPlainDevice(const std::string& path) {
  const int fd = OpenExclusive(path);
  return fd < 0 ? kInvalidDevice : DeviceOfFd(fd);
}

bool WriteAll(int fd, const uint8_t* bytes, size_t length, int64_t timeoutMs, bool isSocket, int abortFd) {
  if (fd < 0 || Aborted(abortFd)) return false;
  const bool limited = timeoutMs >= 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
  size_t done = 0;
  while (done < length) {
    const ssize_t n =
        isSocket ? send(fd, bytes + done, length - done, MSG_NOSIGNAL) : write(fd, bytes + done, length - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitWritable(fd, abortFd, limited, deadline)) return false;
    } else {
      return false;  // an error, or a device that takes nothing
    }
  }
  return true;
}

}  // namespace plotsend
