#include "FaultPlan.h"

namespace device {
namespace {

const char *const kNames[] = {
    "drop-ack", "eop-status", "eop-kind", "eop-silent", "busy-after-page",
    "silent-after-frame", "unplug-after-frame", "silent-after-record",
    "unplug-after-record", "stray-byte", "unknown-record", "short-line",
    "short-status", "scan-silent",
};
static_assert(sizeof kNames / sizeof kNames[0] == static_cast<size_t>(Fault::Count), "one name per fault");

} // namespace

const char *FaultPlan::Name(Fault fault) { return kNames[Index(fault)]; }

bool FaultPlan::Arm(const std::string &name, int count, int extra, std::string *error)
{
    if (count < 1) {
        *error = "count must be 1 or more";
        return false;
    }
    for (size_t i = 0; i < static_cast<size_t>(Fault::Count); ++i) {
        if (name == kNames[i]) {
            remaining_[i] = count;
            extra_[i] = extra;
            return true;
        }
    }
    *error = "unknown fault " + name;
    return false;
}

void FaultPlan::Clear()
{
    for (size_t i = 0; i < static_cast<size_t>(Fault::Count); ++i)
        remaining_[i] = 0;
}

bool FaultPlan::Fires(Fault fault)
{
    int &left = remaining_[Index(fault)];
    if (left <= 0)
        return false;
    return --left == 0;
}

std::string FaultPlan::Describe() const
{
    std::string text;
    for (size_t i = 0; i < static_cast<size_t>(Fault::Count); ++i) {
        if (remaining_[i] <= 0)
            continue;
        if (!text.empty())
            text += ' ';
        text += kNames[i];
        text += '=';
        text += std::to_string(remaining_[i]);
    }
    return text.empty() ? "none" : text;
}

} // namespace device
