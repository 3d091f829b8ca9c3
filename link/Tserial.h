// TSerial: one Windows COM port, opened exclusively as "\\.\" + port name,
// set to 8 data bits, 1 stop bit, the chosen parity and no flow control,
// with read time-outs of 300 ms (interval, per byte and constant). Every
// write is followed by a sleep of the write delay. The waits read one byte
// at a time and test their limit between reads.
#pragma once

#include <atomic>

#include "windows.h"

class TSerial {
public:
  TSerial();
  ~TSerial();

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

  // Opens the port; parity 0 none, 1 odd, 2 even. Returns one code above.
  int Open(const char *portName, int baud, unsigned char parity, int writeDelay);
  void Close();
  bool IsOpen() const { return FOpen; }

  // One write of all bytes, then the write delay; nothing on a closed port.
  void Write(const void *buffer, int count);
  // One read under the port's time-outs; bytes read, 0 on failure or closed.
  int Read(void *buffer, int count);
  // True when the last read failed (the port is gone), rather than timing out.
  bool LastReadFailed() const { return FReadFailed; }

  // One byte into `buffer` within `limit` ms: true when it came. With a
  // `stop` flag, the wait also ends (false) once the flag is raised, at the
  // latest after the read under way.
  bool ReadByteTimeout(unsigned char *buffer, long long limit,
                       const std::atomic<bool> *stop = nullptr);
  // The byte read within `limit` ms, or 0xFF when none came.
  unsigned char ReadByte(long long limit);

  // Result codes of WaitFor.
  enum { kReplyOk = 0, kNoMarker = 1, kShortReply = 2 };

  // Drops bytes until `marker` comes within `timeout` ms, then reads the
  // rest of a `length`-byte reply in one read. On 0 and 2 the buffer starts
  // with the marker.
  int WaitFor(unsigned char marker, unsigned char *buffer, long long timeout, int length);

private:
  // One single-byte read for the waits.
  bool ReadOne(unsigned char *byte);

  char FPath[20];
  int FBaud;
  int FWriteDelay;
  unsigned char FParity;
  HANDLE FHandle;
  bool FOpen;
  bool FReadFailed;

  TSerial(const TSerial &) = delete;
  TSerial &operator=(const TSerial &) = delete;
};
