// The text form of a hive file, made to be read and edited by hand:
//
//   [SYSTEM\CurrentControlSet\Enum]     a key (the keys above it exist too)
//   "PortName"=sz:"COM3"                REG_SZ (stored with its NUL)
//   "Path"=expand:"%SystemRoot%\\x"     REG_EXPAND_SZ
//   "List"=multi:"one","two"            REG_MULTI_SZ
//   "Count"=dword:0000002a              REG_DWORD
//   "Blob"=hex:01,ff,00                 REG_BINARY
//   "Other"=hex(b):01,00,00,00,00,00,00,00   any type, any data
//   ""=sz:"..."                         the key's default value
//
// In quoted text \\ is a backslash, \" a quote and \xHH any byte (\n, \r,
// \t and \0 are also read); every byte outside printable ASCII is written as
// \xHH, so that any byte survives. In key paths the components are
// separated by "\" and %HH stands for a byte (%25 for "%" itself). Lines
// starting with ";" or "#" and blank lines are comments. "[]" holds the
// values of the hive's root. A key without values gets a line of its own
// only when it has no subkeys; otherwise the lines of the keys below it
// make it.
//
// Windows' limits hold for the file too: a key path of more than 512 names
// or a key name of more than 255 bytes is a line that does not parse.
//
// A line that does not parse, or a value named twice in one key, marks the
// hive damaged: what parsed is kept for reading, and the hive refuses
// changes (ERROR_BADDB) so that nothing the parser skipped is written away.
#pragma once

#include "registry/HiveModel.h"

#include <string>

namespace registry {

Hive ParseHive(const std::string &text);
std::string WriteHive(const Hive &hive);

} // namespace registry
