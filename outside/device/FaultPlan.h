// Faults on demand. Each fault is armed with a count n (default 1) and fires
// once, at the n-th event of its kind from the moment it was armed; then it
// is disarmed. Arming a kind again replaces its count.
#pragma once

#include <string>

namespace device {

enum class Fault {
    DropAck,           // data frames: the n-th gets no acknowledgement
    EopStatus,         // ends of page: the n-th is answered FE F6 00 01 00 00
    EopKind,           // ends of page: the n-th is answered FE F7 00 00 00 00
    EopSilent,         // ends of page: the n-th gets no answer
    BusyAfterPage,     // ends of page: after the n-th the state becomes busy
    SilentAfterFrame,  // data frames: after acknowledging the n-th, silent
    UnplugAfterFrame,  // data frames: after acknowledging the n-th, unplugged
    SilentAfterRecord, // scan records: after sending the n-th, silent
    UnplugAfterRecord, // scan records: after sending the n-th, unplugged
    StrayByte,         // scan records: a stray 00 in place of the n-th
    UnknownRecord,     // scan records: FE F4 in place of the n-th
    ShortLine,         // line records: the n-th announces its length, sends fewer
    ShortStatus,       // status queries: the n-th is answered F4 and 3 bytes
    ScanSilent,        // scan commands: the n-th gets no answer
    Count
};

class FaultPlan {
public:
    // `name` as in the README ("drop-ack", ...); `extra` is a second number
    // some faults take (short-line: how many line bytes are left out).
    bool Arm(const std::string &name, int count, int extra, std::string *error);
    void Clear();

    // Counts one event for `fault`; true when it fires now.
    bool Fires(Fault fault);
    bool Armed(Fault fault) const { return remaining_[Index(fault)] > 0; }
    int Extra(Fault fault) const { return extra_[Index(fault)]; }

    static const char *Name(Fault fault);
    // "drop-ack=3 short-line=1", or "none".
    std::string Describe() const;

private:
    static size_t Index(Fault fault) { return static_cast<size_t>(fault); }

    int remaining_[static_cast<size_t>(Fault::Count)] = {};
    int extra_[static_cast<size_t>(Fault::Count)] = {};
};

} // namespace device
