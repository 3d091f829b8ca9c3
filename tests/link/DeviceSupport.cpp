#include "DeviceSupport.h"

#include <cstring>
#include <sys/stat.h>

#include "machine/Testing.h"

namespace linktest {

standin::Bitmap PatternPage(int rows, int seed) {
  standin::Bitmap page;
  page.width = 1728;
  page.height = rows;
  page.rows.assign(static_cast<size_t>(rows) * 216, 0);
  for (int y = 0; y < rows; ++y) {
    unsigned char *row = page.Row(y);
    const int kind = (y + seed) % 7;
    if (kind == 3)
      continue; // blank row
    if (kind == 5) {
      std::memset(row, 0xFF, 216); // black row
      continue;
    }
    // Runs of black of varying length and place, a few isolated dots.
    const int start = (y * 13 + seed * 29) % 180;
    const int length = 4 + (y + seed) % 30;
    for (int x = start; x < start + length && x < 216; ++x)
      row[x] = 0xFF;
    row[(y * 7 + seed) % 216] ^= static_cast<unsigned char>(0x81 >> (y % 4));
  }
  return page;
}

Bytes CodePage(const standin::Bitmap &page) {
  std::vector<uint8_t> code;
  for (int y = 0; y < page.height; ++y)
    standin::EncodeZeroRun(page.Row(y), 216, &code);
  return Bytes(code.begin(), code.end());
}

std::vector<Bytes> CodePages(const std::vector<standin::Bitmap> &pages) {
  std::vector<Bytes> coded;
  for (const standin::Bitmap &page : pages)
    coded.push_back(CodePage(page));
  return coded;
}

Bytes LiteralBytes(size_t count, unsigned char first) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<unsigned char>(1 + (first + i) % 255);
  return bytes;
}

void PageSet::Add(Bytes page) {
  pages_.push_back(std::move(page));
  Bytes &stored = pages_.back();
  blocks_.push_back(stored.empty() ? nullptr : stored.data());
  sizes_.push_back(static_cast<int>(stored.size()));
}

const Bytes &PageSet::Page(size_t i) const {
  auto it = pages_.begin();
  std::advance(it, static_cast<long>(i));
  return *it;
}

bool ParseScanData(const unsigned char *data, size_t size, std::vector<ScanRecord> *records) {
  records->clear();
  size_t at = 0;
  while (at < size) {
    if (data[at] != 0xFE || at + 1 >= size)
      return false;
    ScanRecord record;
    record.kind = data[at + 1];
    at += 2;
    if (record.kind == 0xF3) {
      if (at >= size)
        return false;
      record.announced = data[at++];
      const size_t take = std::min(static_cast<size_t>(record.announced), size - at);
      record.payload.assign(data + at, data + at + take);
      at += take;
      records->push_back(record);
      if (take < static_cast<size_t>(record.announced))
        return at == size; // only the last line may stay incomplete
    } else if (record.kind == 0xF2 || record.kind == 0xF8 || record.kind == 0xF6) {
      if (at + 4 > size)
        return false;
      record.payload.assign(data + at, data + at + 4);
      at += 4;
      records->push_back(record);
    } else {
      return false;
    }
  }
  return true;
}

std::vector<std::vector<Bytes>> DecodeScanPages(const std::vector<ScanRecord> &records) {
  std::vector<std::vector<Bytes>> pages;
  for (const ScanRecord &record : records) {
    if (record.kind == 0xF2 || record.kind == 0xF8) {
      pages.emplace_back();
    } else if (record.kind == 0xF3 && !pages.empty()) {
      std::vector<uint8_t> line = standin::DecodeZeroRun(record.payload.data(), record.payload.size());
      line.resize(216, 0);
      pages.back().emplace_back(line.begin(), line.end());
    }
  }
  return pages;
}

std::vector<Bytes> Rows(const standin::Bitmap &page) {
  std::vector<Bytes> rows;
  for (int y = 0; y < page.height; ++y)
    rows.emplace_back(page.Row(y), page.Row(y) + 216);
  return rows;
}

std::string WritePage(const standin::DeviceProcess &device, const standin::Bitmap &page,
                      const std::string &name) {
  const std::string folder = device.ScratchFolder();
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + name;
  EXPECT_TRUE(standin::WritePbm(path, page)) << path;
  return path;
}

void ExpectPrinted(const std::string &path, const standin::Bitmap &source) {
  standin::Bitmap printed;
  ASSERT_TRUE(standin::ReadPbm(path, &printed)) << path;
  ASSERT_EQ(printed.width, 1728);
  ASSERT_EQ(printed.height, source.height);
  EXPECT_TRUE(printed.rows == source.rows) << path;
}

standin::DeviceProcess &DeviceLinkTest::StartDevice(const standin::DeviceOptions &options) {
  devices_.emplace_back(new standin::DeviceProcess(options));
  standin::DeviceProcess &device = *devices_.back();
  EXPECT_TRUE(device.Started()) << device.Error();
  return device;
}

bool DeviceLinkTest::OpenLink(int writeDelay) {
  return link_->Open(Device().PortName().c_str(), 19200, writeDelay) == 0;
}

bool DeviceLinkTest::StartWithPages(const std::vector<Bytes> &pages, const std::string &command) {
  if (!StartDevice().Started())
    return false;
  if (!command.empty() && !Device().Command(command))
    return false;
  if (!OpenLink())
    return false;
  for (const Bytes &page : pages)
    pages_.Add(page);
  link_->SetData(pages_.Blocks(), pages_.Sizes());
  return true;
}

bool DeviceLinkTest::WaitLog(const std::string &needle, int occurrences, int timeoutMs) const {
  return devices_.front()->WaitForLog(needle, timeoutMs, occurrences);
}

void DeviceLinkTest::TearDown() {
  machine::testing::SetTickSource(nullptr);
  link_.reset();
  devices_.clear();
}

} // namespace linktest
