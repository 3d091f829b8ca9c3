#include "Tserial.h"

#include <cstring>

#include "Stopwatch.h"

namespace {

// Read time-outs of the port, in ms.
const DWORD kReadInterval = 300;
const DWORD kReadPerByte = 300;
const DWORD kReadConstant = 300;
const char kPathPrefix[] = "\\\\.\\";

void FillLineSettings(DCB &dcb, int baud, unsigned char parity) {
  std::memset(&dcb, 0, sizeof dcb);
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.fBinary = 1;
  dcb.fParity = parity == 1 || parity == 2 ? 1 : 0;
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = 0;
  dcb.fTXContinueOnXoff = 0;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fErrorChar = 0;
  dcb.fNull = 0;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = 0;
  dcb.XonLim = 2;
  dcb.XoffLim = 4;
  dcb.ByteSize = 8;
  dcb.Parity = parity == 1 ? ODDPARITY : parity == 2 ? EVENPARITY : NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.XonChar = 0x13;
  dcb.XoffChar = 0x19;
  dcb.ErrorChar = 0;
  dcb.EofChar = 0;
  dcb.EvtChar = 0;
}

} // namespace

TSerial::TSerial()
    : FBaud(0), FWriteDelay(0), FParity(0), FHandle(INVALID_HANDLE_VALUE), FOpen(false),
      FReadFailed(false) {
  std::memset(FPath, 0, sizeof FPath);
}

TSerial::~TSerial() {
  if (FHandle != INVALID_HANDLE_VALUE)
    CloseHandle(FHandle);
}

int TSerial::Open(const char *portName, int baud, unsigned char parity, int writeDelay) {
  if (FHandle != INVALID_HANDLE_VALUE)
    CloseHandle(FHandle);
  FHandle = INVALID_HANDLE_VALUE;
  FOpen = false;

  if (portName == nullptr)
    return kNoPortName;
  std::memset(FPath, 0, sizeof FPath);
  // The path holds 19 characters; a longer name is refused like a port
  // that does not exist.
  if (std::strlen(portName) > static_cast<size_t>(kMaxPortName))
    return kCreateFailed;
  std::strcpy(FPath, kPathPrefix);
  std::strcat(FPath, portName);
  FBaud = baud;
  FWriteDelay = writeDelay;
  FParity = parity;
  DCB dcb;
  FillLineSettings(dcb, baud, parity);

  HANDLE handle = CreateFileA(FPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return kCreateFailed;

  // All three run; when several fail, the last failure decides.
  int result = kOpenOk;
  if (!SetCommMask(handle, 0))
    result = kSetMaskFailed;
  COMMTIMEOUTS timeouts;
  std::memset(&timeouts, 0, sizeof timeouts);
  timeouts.ReadIntervalTimeout = kReadInterval;
  timeouts.ReadTotalTimeoutMultiplier = kReadPerByte;
  timeouts.ReadTotalTimeoutConstant = kReadConstant;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  if (!SetCommTimeouts(handle, &timeouts))
    result = kSetTimeoutsFailed;
  if (!SetCommState(handle, &dcb))
    result = kSetStateFailed;

  if (result != kOpenOk) {
    CloseHandle(handle);
    return result;
  }
  FHandle = handle;
  FOpen = true;
  return kOpenOk;
}

void TSerial::Close() {
  if (FHandle != INVALID_HANDLE_VALUE)
    CloseHandle(FHandle);
  FHandle = INVALID_HANDLE_VALUE;
  FOpen = false;
}

void TSerial::Write(const void *buffer, int count) {
  if (FHandle == INVALID_HANDLE_VALUE)
    return;
  DWORD written = 0;
  // A failed or short write shows up as a missing reply to the next wait.
  WriteFile(FHandle, buffer, count > 0 ? static_cast<DWORD>(count) : 0, &written, nullptr);
  if (FWriteDelay > 0)
    Sleep(static_cast<DWORD>(FWriteDelay));
}

int TSerial::Read(void *buffer, int count) {
  FReadFailed = FHandle == INVALID_HANDLE_VALUE;
  if (FHandle == INVALID_HANDLE_VALUE || count <= 0)
    return 0;
  DWORD read = 0;
  if (!ReadFile(FHandle, buffer, static_cast<DWORD>(count), &read, nullptr)) {
    FReadFailed = true;
    return 0;
  }
  return static_cast<int>(read);
}

bool TSerial::ReadOne(unsigned char *byte) {
  // A port whose device is gone fails its reads only after their time-outs
  // (the platform's rule), so a wait on it sleeps rather than spins.
  return Read(byte, 1) == 1;
}

bool TSerial::ReadByteTimeout(unsigned char *buffer, long long limit,
                              const std::atomic<bool> *stop) {
  // On a closed port no byte can come: the limit runs out at once.
  if (FHandle == INVALID_HANDLE_VALUE)
    return false;
  TStopwatch wait;
  for (;;) {
    if (stop != nullptr && stop->load())
      return false;
    if (ReadOne(buffer))
      return true;
    if (wait.Exceeded(limit))
      return false;
  }
}

unsigned char TSerial::ReadByte(long long limit) {
  unsigned char byte = 0xFF;
  if (!ReadByteTimeout(&byte, limit))
    return 0xFF;
  return byte;
}

int TSerial::WaitFor(unsigned char marker, unsigned char *buffer, long long timeout,
                     int length) {
  if (FHandle == INVALID_HANDLE_VALUE)
    return kNoMarker;
  TStopwatch wait;
  for (;;) {
    unsigned char byte = 0;
    if (ReadOne(&byte) && byte == marker)
      break;
    if (wait.Exceeded(timeout))
      return kNoMarker;
  }
  buffer[0] = marker;
  const int rest = length > 1 ? length - 1 : 0;
  if (rest == 0)
    return kReplyOk;
  return Read(buffer + 1, rest) == rest ? kReplyOk : kShortReply;
}
