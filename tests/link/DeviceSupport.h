// Fixture and helpers for the device link's tests against the device
// stand-in: a fresh machine root, the stand-in process plugged into it, the
// link under test, coded pages and the scan records' layout.
#pragma once

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "DeviceHarness.h"
#include "LinkTestSupport.h"
#include "Usb_kv8m.h"

namespace linktest {

using Bytes = std::vector<unsigned char>;

// A 1728-dot page of `rows` rows with a pattern that varies by row and
// `seed`: runs of black, blank rows, full rows.
standin::Bitmap PatternPage(int rows, int seed);

// The page in the device's zero-run line coding, row after row.
Bytes CodePage(const standin::Bitmap &page);
std::vector<Bytes> CodePages(const std::vector<standin::Bitmap> &pages);

// `count` bytes that the zero-run decoding keeps as they are (no 00).
Bytes LiteralBytes(size_t count, unsigned char first = 1);

// Pages to send: owns the bytes and the two lists the link borrows.
class PageSet {
public:
  void Add(Bytes page);
  TBlockList *Blocks() { return &blocks_; }
  TSizeList *Sizes() { return &sizes_; }
  const Bytes &Page(size_t i) const;
  size_t Count() const { return pages_.size(); }

private:
  std::list<Bytes> pages_;
  TBlockList blocks_;
  TSizeList sizes_;
};

// One record of the scan data: FE, the kind, then its payload.
struct ScanRecord {
  unsigned char kind = 0;
  Bytes payload; // parameters, or for a line: the line bytes after n
  int announced = -1; // line records: n
};

// Splits the scan data into records; false when it is not a clean run of
// records (an incomplete last line is kept as announced > payload size).
bool ParseScanData(const unsigned char *data, size_t size, std::vector<ScanRecord> *records);

// The lines of `records` decoded and padded to 216 bytes, page by page.
std::vector<std::vector<Bytes>> DecodeScanPages(const std::vector<ScanRecord> &records);

// The rows of a bitmap as 216-byte lines.
std::vector<Bytes> Rows(const standin::Bitmap &page);

// Writes `page` as a PBM file and returns its path.
std::string WritePage(const standin::DeviceProcess &device, const standin::Bitmap &page,
                      const std::string &name);

// The printed page at `path` matches the page that was coded, row for row.
void ExpectPrinted(const std::string &path, const standin::Bitmap &source);

class DeviceLinkTest : public testing::Test {
protected:
  // Starts the stand-in; the test fails when it does not come up.
  standin::DeviceProcess &StartDevice(const standin::DeviceOptions &options = {});
  // Opens the link on the first stand-in's port with a short write delay.
  bool OpenLink(int writeDelay = 2);
  // Starts the stand-in (giving it `command` first, when there is one),
  // opens the link and hands it `pages`, which pages_ keeps.
  bool StartWithPages(const std::vector<Bytes> &pages, const std::string &command = "");
  std::string Log() const { return devices_.front()->Log(); }
  // Bounded wait for `occurrences` lines holding `needle` in the first
  // stand-in's log.
  bool WaitLog(const std::string &needle, int occurrences = 1, int timeoutMs = 20000) const;
  int CountLog(const std::string &needle) const { return devices_.front()->CountInLog(needle); }
  standin::DeviceProcess &Device() { return *devices_.front(); }

  void TearDown() override;

  TempMachineRoot root_;
  PageSet pages_;
  std::vector<std::unique_ptr<standin::DeviceProcess>> devices_;
  std::unique_ptr<TUSB_kv8m> link_{new TUSB_kv8m};
};

} // namespace linktest
