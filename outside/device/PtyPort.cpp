#include "PtyPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace device {

PtyPort::~PtyPort()
{
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
}

bool PtyPort::Open(std::string *error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        *error = std::string("posix_openpt: ") + strerror(errno);
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        *error = std::string("grantpt/unlockpt: ") + strerror(errno);
        return false;
    }
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        *error = std::string("ptsname: ") + strerror(errno);
        return false;
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        *error = "open " + slavePath_ + ": " + strerror(errno);
        return false;
    }
    termios settings;
    if (tcgetattr(slave_, &settings) != 0) {
        *error = std::string("tcgetattr: ") + strerror(errno);
        return false;
    }
    cfmakeraw(&settings);
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
        *error = std::string("tcsetattr: ") + strerror(errno);
        return false;
    }
    int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = std::string("fcntl: ") + strerror(errno);
        return false;
    }
    return true;
}

} // namespace device
