// TUSB_kv8m: the device link on one COM port. It finds the device's port
// under the FTDI bus enumeration key, and speaks the device's framed
// protocol over a TSerial: status query, job start, 221-byte data frames,
// end of page, and the scan records. Results are small integer codes.
//
// The port is held only for one group of exchanges: callers Reopen, talk,
// and Close.
#pragma once

#include <atomic>

#include "AnsiString.h"
#include "Output.h"

class TSerial;
class TMemoryStream;
class TStringList;

class TUSB_kv8m final : public TOutput {
public:
  // Status codes of GetStatus.
  enum {
    kStatusReady = 0,
    kStatusBusy = 2,
    kStatusError = 3,
    kStatusNoPort = 4,
    kStatusDocument = 5,
    kStatus90 = 8,
    kStatusNoAnswer = 9,
  };

  // Result codes of Scan.
  enum {
    kScanDone = 0,
    kScanNoPort = 1,
    kScanRefused = 3,
    kScanUnknownRecord = 4,
    kScanNotFramed = 5,
    kScanTimeout = 6,
    kScanStopped = 7, // the stop flag was raised: the transfer was left
  };

  // Line parameters that Detect sets.
  static constexpr int kBaud = 19200;
  static constexpr int kWriteDelay = 80;

  TUSB_kv8m();
  // Closes the port if one is open and frees the scan data. The block lists
  // are borrowed and not freed here.
  ~TUSB_kv8m();

  // TOutput: sends the pages of FBlocks from FPagesSent on; 1 when all were
  // sent (or there was nothing to send), 0 on a failure.
  int Send() override;
  // TOutput: takes the first port of ListPorts; true when there was one.
  bool Detect() override;

  // The device's ports that can be opened now, in registry order; the
  // caller owns the list.
  TStringList *ListPorts();

  // Opens `port` with parity none; 0 when open, -1 when not (no port then).
  int Open(const AnsiString &port, int baud, int writeDelay);
  // Open with the stored port name, baud rate and write delay.
  int Reopen();
  void Close();

  void Write(const void *buffer, int count);
  void SendFrame(const void *buffer, int count);
  void SendCommand(const void *buffer, int count);
  // TSerial::WaitFor on the open port; 0 when no port is open.
  int WaitReply(unsigned char marker, unsigned char *buffer, long long timeout, int length);

  unsigned char GetStatus();
  // Stores the job parameters and announces the job; 1 accepted, 0 not.
  int StartJob(int copies, int resolution, int flag);

  void SetData(TBlockList *blocks, TSizeList *sizes) {
    FBlocks = blocks;
    FSizes = sizes;
  }
  void SetStartPage(int pages) { FPagesSent = pages; }
  int GetPagesSent() const { return FPagesSent; }

  // Receives a scan into the scan data; a code above. A line whose reads
  // bring nothing more, or whose length byte does not come, ends the
  // transfer at once as timed out: the device has fallen silent.
  int Scan();
  // A flag of the caller's that another thread may raise: a scan under way
  // then leaves the transfer before its next read (kScanStopped). Null: no
  // stop. The flag must outlive this object.
  void SetStop(const std::atomic<bool> *stop) { FStop = stop; }
  TMemoryStream *GetScanData() const { return FScanData; }
  int GetPageCount() const { return FPageCount; }

private:
  bool PortOpen() const;
  // After a page: queries the status every 200 ms until the device is
  // ready; false when it is not within 4000 ms, or on a stop request.
  bool PollReady();
  bool Stopped() const { return FStop != nullptr && FStop->load(); }
  // One scan byte within the record time-out; false when none came or the
  // stop flag was raised.
  bool ReadScanByte(unsigned char *byte);

  AnsiString FPort;
  int FBaud;
  int FWriteDelay;
  int FCopies;
  int FResolution;
  bool FFlag;
  TSerial *FSerial;
  int FPageCount;
  int FPagesSent;
  TMemoryStream *FScanData;
  const std::atomic<bool> *FStop;

  // The data frame: FE F3 D8, 216 data bytes, 00 00. Head and tail are set
  // once; only the data bytes change.
  unsigned char FFrame[221];

  TUSB_kv8m(const TUSB_kv8m &) = delete;
  TUSB_kv8m &operator=(const TUSB_kv8m &) = delete;
};
