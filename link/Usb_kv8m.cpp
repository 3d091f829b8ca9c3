#include "Usb_kv8m.h"

#include <cstring>

#include "MemoryStream.h"
#include "Ftdi_ports.h"
#include "Registry.h"
#include "StringList.h"
#include "Stopwatch.h"
#include "Tserial.h"

namespace {

const unsigned char kLead = 0xFE;
const unsigned char kCmdJobStart = 0xF0;
const unsigned char kCmdData = 0xF3;
const unsigned char kCmdStatus = 0xF4;
const unsigned char kCmdEndOfPage = 0xF5;
const unsigned char kCmdScan = 0xF7;

const unsigned char kRecPageHeader = 0xF2;
const unsigned char kRecLine = 0xF3;
const unsigned char kRecEndOfPage = 0xF6;
const unsigned char kRecNextPage = 0xF8;

const int kDataBytes = 216;
const int kFrameBytes = 3 + kDataBytes + 2;
// With FAbort set, a page's data stops once its offset has passed this.
const int kAbortOffset = 6480;

const long long kStatusTimeout = 1000;
const long long kJobStartTimeout = 5000;
const long long kAckTimeout = 4000;
const long long kEndOfPageTimeoutPerCopy = 40000;
const long long kReadyTimeout = 4000;
const DWORD kReadyPollSleep = 200;
const long long kRecordTimeout = 5000;
const int kLineReads = 100;

// Write delay of the test-open in port discovery.
const int kTestOpenDelay = 10;

} // namespace

TUSB_kv8m::TUSB_kv8m()
    : TOutput(nullptr, nullptr), FPort(), FBaud(0), FWriteDelay(0), FCopies(0),
      FResolution(0), FFlag(false), FSerial(nullptr), FPageCount(0), FPagesSent(0),
      FScanData(nullptr), FStop(nullptr) {
  std::memset(FFrame, 0, sizeof FFrame);
  FFrame[0] = kLead;
  FFrame[1] = kCmdData;
  FFrame[2] = static_cast<unsigned char>(kDataBytes);
}

TUSB_kv8m::~TUSB_kv8m() {
  Close();
  delete FScanData;
}

bool TUSB_kv8m::PortOpen() const { return FSerial != nullptr && FSerial->IsOpen(); }

// ---------------------------------------------------------------- discovery

namespace {

// The test-open of a listed port: it only proves the port is there and free.
bool TestOpen(const AnsiString &port) {
  TSerial *serial = new TSerial;
  const bool opened = serial->Open(port.c_str(), TUSB_kv8m::kBaud, 0, kTestOpenDelay) == TSerial::kOpenOk;
  if (opened)
    serial->Close();
  delete serial;
  return opened;
}

} // namespace

TStringList *TUSB_kv8m::ListPorts() { return ListFtdiPorts(TestOpen); }

bool TUSB_kv8m::Detect() {
  TStringList *ports = ListPorts();
  const bool found = ports->Count() > 0;
  if (found) {
    FPort = ports->Strings(0);
    FBaud = kBaud;
    FWriteDelay = kWriteDelay;
  }
  delete ports;
  return found;
}

// --------------------------------------------------------------------- port

int TUSB_kv8m::Open(const AnsiString &port, int baud, int writeDelay) {
  FPort = port;
  FBaud = baud;
  FWriteDelay = writeDelay;
  Close();
  FSerial = new TSerial;
  if (FSerial->Open(FPort.c_str(), FBaud, 0, FWriteDelay) != TSerial::kOpenOk) {
    delete FSerial;
    FSerial = nullptr;
    return -1;
  }
  return 0;
}

int TUSB_kv8m::Reopen() { return Open(FPort, FBaud, FWriteDelay); }

void TUSB_kv8m::Close() {
  if (FSerial == nullptr)
    return;
  FSerial->Close();
  delete FSerial;
  FSerial = nullptr;
}

void TUSB_kv8m::Write(const void *buffer, int count) {
  if (FSerial != nullptr)
    FSerial->Write(buffer, count);
}

void TUSB_kv8m::SendFrame(const void *buffer, int count) { Write(buffer, count); }

void TUSB_kv8m::SendCommand(const void *buffer, int count) { Write(buffer, count); }

int TUSB_kv8m::WaitReply(unsigned char marker, unsigned char *buffer, long long timeout,
                         int length) {
  if (FSerial == nullptr)
    return 0;
  return FSerial->WaitFor(marker, buffer, timeout, length);
}

// ---------------------------------------------------------------- exchanges

unsigned char TUSB_kv8m::GetStatus() {
  if (!PortOpen())
    return kStatusNoPort;
  const unsigned char query[5] = {kLead, kCmdStatus, 0x00, 0x00, 0x00};
  Write(query, sizeof query);
  unsigned char reply[9] = {0};
  const int result = WaitReply(kCmdStatus, reply, kStatusTimeout, sizeof reply);
  if (result == TSerial::kNoMarker)
    return kStatusNoAnswer;
  if (result == TSerial::kShortReply)
    return kStatusBusy;
  switch (reply[6]) {
  case 0x01:
    return kStatusBusy;
  case 0x07:
    return kStatusError;
  case 0x80:
    return kStatusDocument;
  case 0x90:
    return kStatus90;
  default:
    return kStatusReady;
  }
}

int TUSB_kv8m::StartJob(int copies, int resolution, int flag) {
  FCopies = copies;
  FResolution = resolution;
  FFlag = flag != 0;
  if (!PortOpen())
    return 0;
  const unsigned char frame[8] = {kLead,
                                  kCmdJobStart,
                                  0x03,
                                  static_cast<unsigned char>(FResolution == 50 ? 0 : 1),
                                  static_cast<unsigned char>(FFlag ? 1 : 0),
                                  static_cast<unsigned char>(FCopies & 0xFF),
                                  0x00,
                                  0x00};
  Write(frame, sizeof frame);
  unsigned char reply[3] = {0};
  return WaitReply(kCmdJobStart, reply, kJobStartTimeout, sizeof reply) == TSerial::kReplyOk
             ? 1
             : 0;
}

bool TUSB_kv8m::PollReady() {
  TStopwatch poll;
  unsigned char status = GetStatus();
  while (status != kStatusReady && FAbort == 0) {
    if (poll.Exceeded(kReadyTimeout))
      return false;
    Sleep(kReadyPollSleep);
    status = GetStatus();
  }
  return FAbort == 0;
}

int TUSB_kv8m::Send() {
  FAbort = 0;
  if (!PortOpen() || FBlocks == nullptr || FSizes == nullptr)
    return 1;

  const int pageTotal = static_cast<int>(FBlocks->size());
  TBlockList::const_iterator block = FBlocks->begin();
  TSizeList::const_iterator size = FSizes->begin();
  for (int skipped = 0; skipped < FPagesSent; ++skipped) {
    if (block == FBlocks->end() || size == FSizes->end())
      return 1;
    ++block;
    ++size;
  }

  int pagesSent = FPagesSent;
  unsigned char reply[6];
  for (; block != FBlocks->end() && size != FSizes->end(); ++block, ++size) {
    const unsigned char *page = *block;
    const int pageSize = *size;
    int offset = 0;

    while (offset + kDataBytes < pageSize && (offset <= kAbortOffset || FAbort == 0)) {
      std::memcpy(FFrame + 3, page + offset, kDataBytes);
      SendFrame(FFrame, kFrameBytes);
      if (WaitReply(kCmdData, reply, kAckTimeout, 3) != TSerial::kReplyOk)
        return 0;
      offset += kDataBytes;
    }
    // The last frame carries the remaining 1 to 216 bytes, padded with zeros.
    if (offset < pageSize && (offset <= kAbortOffset || FAbort == 0)) {
      const int rest = pageSize - offset;
      std::memcpy(FFrame + 3, page + offset, static_cast<size_t>(rest));
      std::memset(FFrame + 3 + rest, 0, static_cast<size_t>(kDataBytes - rest));
      SendFrame(FFrame, kFrameBytes);
      if (WaitReply(kCmdData, reply, kAckTimeout, 3) != TSerial::kReplyOk)
        return 0;
    }

    const unsigned char endOfPage[5] = {kLead, kCmdEndOfPage, 0x00, 0x00, 0x00};
    SendCommand(endOfPage, sizeof endOfPage);
    if (FAbort != 0)
      return 0;
    if (WaitReply(kLead, reply, FCopies * kEndOfPageTimeoutPerCopy, 6) != TSerial::kReplyOk ||
        reply[1] != kRecEndOfPage || reply[3] != 0x00)
      return 0;

    ++pagesSent;
    FPagesSent = pagesSent;

    if (!PollReady())
      return 0;
    if (pagesSent != pageTotal && StartJob(FCopies, FResolution, FFlag) == 0)
      return 0;
  }
  FAbort = 0;
  return 1;
}

// --------------------------------------------------------------------- scan

bool TUSB_kv8m::ReadScanByte(unsigned char *byte) {
  return FSerial->ReadByteTimeout(byte, kRecordTimeout, FStop);
}

int TUSB_kv8m::Scan() {
  if (FScanData == nullptr)
    FScanData = new TMemoryStream;
  else
    FScanData->Clear();
  FPageCount = 0;
  if (!PortOpen())
    return kScanNoPort;
  if (Stopped())
    return kScanStopped;

  // One buffer serves the command, its reply and every record. A reply that
  // does not come leaves the command's FE in byte 0.
  unsigned char record[700];
  const unsigned char command[5] = {kLead, kCmdScan, 0x00, 0x00, 0x00};
  std::memcpy(record, command, sizeof command);
  Write(record, sizeof command);
  FSerial->Read(record, 3);
  if (Stopped())
    return kScanStopped;
  if (record[0] != kCmdScan)
    return kScanRefused;

  // Every wait below leaves the transfer at once when the stop flag rises.
  for (;;) {
    unsigned char lead = 0;
    if (!ReadScanByte(&lead))
      return Stopped() ? kScanStopped : kScanTimeout;
    if (lead != kLead)
      return kScanNotFramed;
    unsigned char kind = 0;
    if (!ReadScanByte(&kind))
      return Stopped() ? kScanStopped : kScanTimeout;
    record[0] = kLead;
    record[1] = kind;

    if (kind == kRecPageHeader || kind == kRecNextPage || kind == kRecEndOfPage) {
      // A parameter byte that does not come is stored as FF.
      for (int i = 2; i < 6; ++i)
        if (!ReadScanByte(record + i))
          record[i] = 0xFF;
      if (Stopped())
        return kScanStopped;
      FScanData->Write(record, 6);
      if (kind == kRecPageHeader)
        FPageCount = 1;
      else if (kind == kRecNextPage)
        ++FPageCount;
      else
        return kScanDone;
    } else if (kind == kRecLine) {
      unsigned char length = 0xFF;
      const bool announced = ReadScanByte(&length);
      if (Stopped())
        return kScanStopped;
      record[2] = length;
      int got = 0;
      // Up to 100 reads, each for the bytes still missing. A device that
      // has sent nothing for as long as a record may take (reads that bring
      // nothing, since the line's last byte) sends no more: the line is
      // given up then rather than after the remaining reads, which could
      // take hours. So is a line whose length never came, whose bytes would
      // be waited for in vain. A pause shorter than that is waited out.
      TStopwatch silence;
      for (int read = 0; announced && read < kLineReads && got < length; ++read) {
        const int more = FSerial->Read(record + 3 + got, length - got);
        got += more;
        if (Stopped())
          return kScanStopped;
        // A port that fails (the device is gone) brings no more bytes.
        if (got < length && FSerial->LastReadFailed())
          break;
        if (more > 0)
          silence = TStopwatch();
        else if (silence.Exceeded(kRecordTimeout))
          break;
      }
      FScanData->Write(record, 3 + got);
      if (got < length)
        return kScanTimeout;
    } else {
      return kScanUnknownRecord;
    }
  }
}
