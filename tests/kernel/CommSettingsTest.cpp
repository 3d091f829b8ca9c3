// The DCB's mapping onto termios, for what a pseudo-terminal does not show
// (it ignores parity and byte size).
#include <gtest/gtest.h>

#include "CommSettings.h"
#include "winerror.h"

namespace {

DCB Line(BYTE byteSize, BYTE parity, BYTE stopBits)
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = CBR_19200;
    dcb.fBinary = 1;
    dcb.fParity = parity != NOPARITY;
    dcb.ByteSize = byteSize;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    dcb.XonChar = 0x13;
    dcb.XoffChar = 0x19;
    return dcb;
}

struct LineCase {
    BYTE byteSize, parity, stopBits;
    tcflag_t cflags; // of CSIZE | PARENB | PARODD | CMSPAR | CSTOPB
};

TEST(CommSettingsTest, ByteSizeParityAndStopBitsMapBothWays)
{
    const LineCase cases[] = {
        {8, NOPARITY, ONESTOPBIT, CS8},
        {8, ODDPARITY, ONESTOPBIT, CS8 | PARENB | PARODD},
        {8, EVENPARITY, ONESTOPBIT, CS8 | PARENB},
        {7, MARKPARITY, ONESTOPBIT, CS7 | PARENB | PARODD | CMSPAR},
        {7, SPACEPARITY, TWOSTOPBITS, CS7 | PARENB | CMSPAR | CSTOPB},
        {6, NOPARITY, TWOSTOPBITS, CS6 | CSTOPB},
        {5, NOPARITY, ONE5STOPBITS, CS5 | CSTOPB},
        {5, EVENPARITY, ONESTOPBIT, CS5 | PARENB},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.byteSize) << " " << int(c.parity) << " " << int(c.stopBits));
        termios tio = {};
        DWORD error = 1;
        ASSERT_TRUE(platform::DcbToTermios(Line(c.byteSize, c.parity, c.stopBits), &tio, &error));
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflags);
        EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.parity != NOPARITY);
        EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);

        const DCB back = platform::TermiosToDcb(tio);
        EXPECT_EQ(back.ByteSize, c.byteSize);
        EXPECT_EQ(back.Parity, c.parity);
        EXPECT_EQ(back.StopBits, c.stopBits);
        EXPECT_EQ(back.BaudRate, CBR_19200);
    }
}

TEST(CommSettingsTest, FlowControlOnlyWhenAsked)
{
    termios tio = {};
    DWORD error;
    DCB dcb = Line(8, NOPARITY, ONESTOPBIT);
    ASSERT_TRUE(platform::DcbToTermios(dcb, &tio, &error));
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    dcb.fOutxCtsFlow = 1;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    ASSERT_TRUE(platform::DcbToTermios(dcb, &tio, &error));
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 0x13);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x19);
}

TEST(CommSettingsTest, TheDcbKeepsTheWindowsLayout)
{
    EXPECT_EQ(sizeof(DCB), 28u);
    EXPECT_EQ(offsetof(DCB, wReserved), 12u);
    EXPECT_EQ(offsetof(DCB, ByteSize), 18u);
    EXPECT_EQ(offsetof(DCB, XonChar), 21u);
    EXPECT_EQ(offsetof(DCB, wReserved1), 26u);
    EXPECT_EQ(sizeof(COMMTIMEOUTS), 20u);
}

} // namespace
