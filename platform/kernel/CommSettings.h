// Line settings of a COM port: the Windows DCB in terms of termios.
#pragma once

#include <termios.h>

#include "winbase.h"

namespace platform {

// Puts `tio` in raw mode (no echo, no line editing, no translation, reads
// return at once: VMIN 0, VTIME 0) with the receiver on and modem lines
// ignored.
void MakeRaw(termios *tio);

// Applies the DCB's baud rate, byte size, parity, stop bits and flow control
// to `tio` (kept raw). False with `*error` = ERROR_INVALID_PARAMETER for a
// rate termios has no constant for, a byte size outside 5-8, an unknown
// parity, a stop-bit setting the byte size does not allow, or equal XON and
// XOFF characters.
bool DcbToTermios(const DCB &dcb, termios *tio, DWORD *error);

// The DCB that `tio` describes (binary mode, no special characters).
DCB TermiosToDcb(const termios &tio);

} // namespace platform
