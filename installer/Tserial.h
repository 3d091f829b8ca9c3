// Tserial: the installer's own small COM-port object. It opens a port
// exclusively as "\\.\" + port name with the device's line settings (8 data
// bits, the given parity, 1 stop bit, no flow control) and no time-outs,
// and closes it again: the installer only tests whether the device's port
// can be opened.
#pragma once

#include "windows.h"

class Tserial {
public:
    Tserial();
    ~Tserial();

    // Result codes of Open.
    enum {
        kOpenOk = 0,
        kSetMaskFailed = 1,
        kSetTimeoutsFailed = 2,
        kSetStateFailed = 4,
        kCreateFailed = 8, // no such port, held by another process, or a name too long
        kNoPortName = 16,
    };

    // Longest port name that fits the port path after "\\.\".
    static constexpr int kMaxPortName = 15;

    // Opens the port; parity 0 none, 1 odd, 2 even. The write delay is kept
    // but not used. Returns one code above.
    int Open(const char *portName, int baud, int writeDelay, unsigned char parity);
    // Closes the port; nothing when it is closed.
    void Close();

    HANDLE Handle() const { return FHandle; }

private:
    char FPath[20];
    int FBaud;
    int FWriteDelay;
    unsigned char FParity;
    HANDLE FHandle;

    Tserial(const Tserial &) = delete;
    Tserial &operator=(const Tserial &) = delete;
};
