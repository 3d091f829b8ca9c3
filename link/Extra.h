// Byte-order helpers and a file test shared by the printer and scanner
// programs.
//
// Byte order codes: 1 little-endian (least significant byte first),
// 2 big-endian (most significant byte first). With any other code the reads
// give 0 and the writes store nothing.
#pragma once

enum { kOrderLittleEndian = 1, kOrderBigEndian = 2 };

// The four bytes at `bytes` as a signed 32-bit value.
int ReadInt32(const unsigned char *bytes, int order);
// The two bytes at `bytes` as an unsigned 16-bit value (0 to 65535).
int ReadInt16(const unsigned char *bytes, int order);
// Stores `value` as four bytes.
void WriteInt32(unsigned char *bytes, int value, int order);
// Stores the low 16 bits of `value` as two bytes.
void WriteInt16(unsigned char *bytes, int value, int order);

// True when the file (a Windows path) can be opened for reading in byte
// mode; it is closed again at once. A folder or an empty name is no file.
bool FileExists(const char *fileName);
