// Low latency on a serial tty. A USB-serial bridge's driver holds the bytes
// it receives until its latency timer runs out (16 ms by default) unless
// the tty is set to ASYNC_LOW_LATENCY; for a protocol of short acknowledged
// frames that wait is paid on every frame.
#pragma once

namespace platform {

// Asks the tty for low latency (TIOCGSERIAL, then TIOCSSERIAL). False when
// it has no such setting (a pseudo-terminal) or refuses it; the tty is then
// left as it is.
bool RequestLowLatency(int fd);

} // namespace platform
