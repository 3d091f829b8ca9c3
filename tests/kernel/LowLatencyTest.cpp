// Low latency on a COM port's tty: asked for on every opening, and a tty
// without the setting (a pseudo-terminal) is left exactly as it was.
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "LowLatency.h"
#include "PseudoTerminal.h"

namespace {

TEST(LowLatencyTest, APseudoTerminalWithoutTheSettingIsLeftAsItIs)
{
    testsupport::PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(slave, 0);
    termios before{}, after{};
    ASSERT_EQ(tcgetattr(slave, &before), 0);
    EXPECT_FALSE(platform::RequestLowLatency(slave));
    ASSERT_EQ(tcgetattr(slave, &after), 0);
    EXPECT_EQ(memcmp(&before, &after, sizeof before), 0);
    EXPECT_FALSE(platform::RequestLowLatency(-1));
    close(slave);
}

} // namespace
