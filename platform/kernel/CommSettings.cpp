#include "CommSettings.h"

#include <cstring>

#include "winerror.h"

namespace platform {
namespace {

struct Rate {
    DWORD baud;
    speed_t speed;
};

const Rate kRates[] = {
    {50, B50},         {75, B75},           {110, B110},         {134, B134},
    {150, B150},       {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(DWORD baud, speed_t *speed)
{
    for (const Rate &rate : kRates) {
        if (rate.baud == baud) {
            *speed = rate.speed;
            return true;
        }
    }
    return false;
}

DWORD BaudOf(speed_t speed)
{
    for (const Rate &rate : kRates)
        if (rate.speed == speed)
            return rate.baud;
    return 0;
}

tcflag_t SizeFlag(BYTE byteSize)
{
    switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

} // namespace

void MakeRaw(termios *tio)
{
    cfmakeraw(tio);
    tio->c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR);
    tio->c_cflag |= CREAD | CLOCAL;
    tio->c_cflag &= ~(HUPCL | CRTSCTS);
    tio->c_cc[VMIN] = 0;
    tio->c_cc[VTIME] = 0;
}

bool DcbToTermios(const DCB &dcb, termios *tio, DWORD *error)
{
    *error = ERROR_INVALID_PARAMETER;
    speed_t speed;
    if (!SpeedOf(dcb.BaudRate, &speed))
        return false;
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8)
        return false;
    if (dcb.Parity > SPACEPARITY)
        return false;
    // Windows allows 1.5 stop bits only with 5 data bits, and 2 only with more.
    if (dcb.StopBits > TWOSTOPBITS || (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) ||
        (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5))
        return false;
    if (dcb.XonChar == dcb.XoffChar)
        return false;

    MakeRaw(tio);
    cfsetispeed(tio, speed);
    cfsetospeed(tio, speed);

    tio->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    tio->c_cflag |= SizeFlag(dcb.ByteSize);
    switch (dcb.Parity) {
    case ODDPARITY: tio->c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: tio->c_cflag |= PARENB; break;
    case MARKPARITY: tio->c_cflag |= PARENB | PARODD | CMSPAR; break;
    case SPACEPARITY: tio->c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (dcb.Parity != NOPARITY && dcb.fParity)
        tio->c_iflag |= INPCK;
    if (dcb.StopBits != ONESTOPBIT)
        tio->c_cflag |= CSTOPB;

    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE)
        tio->c_cflag |= CRTSCTS;
    if (dcb.fOutX)
        tio->c_iflag |= IXON;
    if (dcb.fInX)
        tio->c_iflag |= IXOFF;
    tio->c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    tio->c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    *error = ERROR_SUCCESS;
    return true;
}

DCB TermiosToDcb(const termios &tio)
{
    DCB dcb;
    memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = BaudOf(cfgetospeed(&tio));
    dcb.fBinary = 1;
    switch (tio.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB))
        dcb.Parity = NOPARITY;
    else if (tio.c_cflag & CMSPAR)
        dcb.Parity = (tio.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    else
        dcb.Parity = (tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    dcb.fParity = (tio.c_iflag & INPCK) ? 1 : 0;
    if (tio.c_cflag & CSTOPB)
        dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    else
        dcb.StopBits = ONESTOPBIT;
    if (tio.c_cflag & CRTSCTS) {
        dcb.fOutxCtsFlow = 1;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    }
    dcb.fOutX = (tio.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (tio.c_iflag & IXOFF) ? 1 : 0;
    dcb.XonChar = static_cast<char>(tio.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
    return dcb;
}

} // namespace platform
