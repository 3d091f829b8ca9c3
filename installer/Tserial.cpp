#include "Tserial.h"

#include <cstring>

namespace {

const char kPathPrefix[] = "\\\\.\\";

void FillLineSettings(DCB &dcb, int baud, unsigned char parity)
{
    memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.fBinary = 1;
    dcb.fParity = parity == 1 || parity == 2 ? 1 : 0;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.XonLim = 2;
    dcb.XoffLim = 4;
    dcb.ByteSize = 8;
    dcb.Parity = parity == 1 ? ODDPARITY : parity == 2 ? EVENPARITY : NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.XonChar = 0x13;
    dcb.XoffChar = 0x19;
}

} // namespace

Tserial::Tserial() : FBaud(0), FWriteDelay(0), FParity(0), FHandle(INVALID_HANDLE_VALUE)
{
    memset(FPath, 0, sizeof FPath);
}

Tserial::~Tserial() { Close(); }

int Tserial::Open(const char *portName, int baud, int writeDelay, unsigned char parity)
{
    Close();
    if (portName == nullptr)
        return kNoPortName;
    memset(FPath, 0, sizeof FPath);
    // The path holds 19 characters; a longer name is refused like a port
    // that does not exist.
    if (strlen(portName) > static_cast<size_t>(kMaxPortName))
        return kCreateFailed;
    strcpy(FPath, kPathPrefix);
    strcat(FPath, portName);
    FBaud = baud;
    FWriteDelay = writeDelay;
    FParity = parity;
    DCB dcb;
    FillLineSettings(dcb, baud, parity);

    HANDLE handle = CreateFileA(FPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return kCreateFailed;

    // All three run; when several fail, the last failure decides. The port
    // is only opened and closed, so it gets no time-outs.
    int result = kOpenOk;
    if (!SetCommMask(handle, 0))
        result = kSetMaskFailed;
    COMMTIMEOUTS timeouts;
    memset(&timeouts, 0, sizeof timeouts);
    if (!SetCommTimeouts(handle, &timeouts))
        result = kSetTimeoutsFailed;
    if (!SetCommState(handle, &dcb))
        result = kSetStateFailed;

    if (result != kOpenOk) {
        CloseHandle(handle);
        return result;
    }
    FHandle = handle;
    return kOpenOk;
}

void Tserial::Close()
{
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
}
