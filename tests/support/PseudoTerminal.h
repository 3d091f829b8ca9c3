// Pseudo-terminals for tests that play the far end of a COM port by hand,
// and bounded reading and whole writing on any descriptor.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<unsigned char>;

// Reads from `fd` until `count` bytes came, the other end closed, or
// `timeoutMs` passed in all (a bound for a test that fails, not a
// measurement); what did come is returned either way.
Bytes ReadWithin(int fd, size_t count, int timeoutMs);
// The bytes already waiting on `fd`, without waiting for more.
Bytes ReadWaiting(int fd);
// Writes all of `size` bytes, waiting while the other side is full.
bool WriteAll(int fd, const void *data, size_t size);
// Puts the terminal `fd` in raw mode: bytes pass as they are.
bool MakeRaw(int fd);

// Whether the test keeps a descriptor of the slave side open (in raw mode):
// the line then never hangs up when the program under test closes the port,
// and its settings stay as they are between opens.
enum class SlaveHold { None, Held };

// A pseudo-terminal whose slave is linked as `portName` in the current
// machine root (no link for an empty name); the link goes with the object.
// The master side is the test's: what the test sends the program reads
// from the port, and the other way round.
class PseudoTerminal {
public:
    explicit PseudoTerminal(const std::string &portName = "", SlaveHold hold = SlaveHold::None);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool Ok() const { return master_ >= 0; }
    int Master() const { return master_; }
    const std::string &SlavePath() const { return slave_; }

    bool Send(const Bytes &bytes) { return WriteAll(master_, bytes.data(), bytes.size()); }
    bool SendText(const std::string &text) { return WriteAll(master_, text.data(), text.size()); }
    // What the program wrote, until `count` bytes came or `timeoutMs` passed.
    Bytes Receive(size_t count, int timeoutMs = 10000) { return ReadWithin(master_, count, timeoutMs); }
    std::string ReceiveText(size_t count, int timeoutMs = 10000);
    // Everything the program has written so far, without waiting.
    Bytes Drain() { return ReadWaiting(master_); }

    // The far end goes away: the program's reads fail from now on.
    void CloseMaster();
    // The device goes away: both ends of the line are closed here.
    void HangUp();

private:
    int master_ = -1;
    int slaveHold_ = -1;
    std::string slave_;
    std::string link_;
};

} // namespace testsupport
