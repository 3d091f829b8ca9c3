#include "Extra.h"

#include <cstdint>
#include <cstdio>

#include "wincrt.h"

int ReadInt32(const unsigned char *bytes, int order) {
  uint32_t value;
  if (order == kOrderLittleEndian)
    value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
            static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  else if (order == kOrderBigEndian)
    value = static_cast<uint32_t>(bytes[3]) | static_cast<uint32_t>(bytes[2]) << 8 |
            static_cast<uint32_t>(bytes[1]) << 16 | static_cast<uint32_t>(bytes[0]) << 24;
  else
    return 0;
  return static_cast<int32_t>(value);
}

int ReadInt16(const unsigned char *bytes, int order) {
  if (order == kOrderLittleEndian)
    return bytes[0] | bytes[1] << 8;
  if (order == kOrderBigEndian)
    return bytes[1] | bytes[0] << 8;
  return 0;
}

void WriteInt32(unsigned char *bytes, int value, int order) {
  const uint32_t v = static_cast<uint32_t>(value);
  if (order == kOrderLittleEndian) {
    bytes[0] = static_cast<unsigned char>(v);
    bytes[1] = static_cast<unsigned char>(v >> 8);
    bytes[2] = static_cast<unsigned char>(v >> 16);
    bytes[3] = static_cast<unsigned char>(v >> 24);
  } else if (order == kOrderBigEndian) {
    bytes[3] = static_cast<unsigned char>(v);
    bytes[2] = static_cast<unsigned char>(v >> 8);
    bytes[1] = static_cast<unsigned char>(v >> 16);
    bytes[0] = static_cast<unsigned char>(v >> 24);
  }
}

void WriteInt16(unsigned char *bytes, int value, int order) {
  const uint32_t v = static_cast<uint32_t>(value);
  if (order == kOrderLittleEndian) {
    bytes[0] = static_cast<unsigned char>(v);
    bytes[1] = static_cast<unsigned char>(v >> 8);
  } else if (order == kOrderBigEndian) {
    bytes[1] = static_cast<unsigned char>(v);
    bytes[0] = static_cast<unsigned char>(v >> 8);
  }
}

bool FileExists(const char *fileName) {
  if (fileName == nullptr || fileName[0] == '\0')
    return false;
  FILE *file = nullptr;
  if (fopen_s(&file, fileName, "rb") != 0 || file == nullptr)
    return false;
  std::fclose(file);
  return true;
}
