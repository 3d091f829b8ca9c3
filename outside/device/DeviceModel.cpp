#include "DeviceModel.h"

#include <cstdio>
#include <cstdlib>

namespace device {
namespace {

struct NamedState {
    const char *name;
    uint8_t status;
};

const NamedState kStates[] = {
    {"ready", 0x00}, {"busy", 0x01}, {"error", 0x07}, {"document", 0x80},
};

std::string RawName(uint8_t status)
{
    char text[8];
    snprintf(text, sizeof text, "0x%02X", status);
    return text;
}

} // namespace

DeviceModel::DeviceModel(EventLog &log, PageAssembler &pages, BridgePlug &bridge, SerialLine &line,
                         const std::string &ttyPath)
    : log_(log), pages_(pages), bridge_(bridge), line_(line), tty_(ttyPath)
{
    record_.reserve(512);
}

bool DeviceModel::SetState(const std::string &name, std::string *error)
{
    if (name == "silent") {
        silent_ = true;
        stateName_ = name;
        return true;
    }
    for (const NamedState &state : kStates) {
        if (name == state.name) {
            silent_ = false;
            status_ = state.status;
            stateName_ = name;
            return true;
        }
    }
    if (name.size() >= 3 && name.size() <= 4 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
        char *end = nullptr;
        unsigned long value = strtoul(name.c_str() + 2, &end, 16);
        if (*end == '\0' && value <= 0xFF) {
            silent_ = false;
            status_ = static_cast<uint8_t>(value);
            stateName_ = RawName(status_);
            for (const NamedState &state : kStates)
                if (state.status == status_)
                    stateName_ = state.name;
            return true;
        }
    }
    *error = "unknown state " + name;
    return false;
}

bool DeviceModel::LoadDocument(const std::vector<std::string> &files, std::string *error)
{
    if (scan_) {
        *error = "scan in progress";
        return false;
    }
    if (files.empty()) {
        *error = "no pages";
        return false;
    }
    std::vector<standin::Bitmap> pages(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (!standin::ReadPbm(files[i], &pages[i])) {
            *error = "cannot read PBM " + files[i];
            return false;
        }
        if (pages[i].width != standin::kLineDots) {
            *error = "not 1728 dots wide: " + files[i];
            return false;
        }
    }
    document_ = std::move(pages);
    std::string ignored;
    SetState("document", &ignored);
    log_.Line("document pages=%zu", document_.size());
    return true;
}

bool DeviceModel::Plug()
{
    if (bridge_.Plugged())
        return true;
    if (!bridge_.Plug(tty_)) {
        log_.Line("plug-failed port=%s", bridge_.Port().c_str());
        return false;
    }
    log_.Line("plugged port=%s tty=%s", bridge_.Port().c_str(), tty_.c_str());
    return true;
}

bool DeviceModel::Unplug()
{
    unplugWhenDrained_ = false;
    if (scan_)
        AbandonScan("unplugged");
    // Bytes not yet on the wire are lost with the device.
    line_.DropPending();
    if (!bridge_.Plugged())
        return true;
    bool done = bridge_.Unplug();
    log_.Line("unplugged port=%s", bridge_.Port().c_str());
    return done;
}

void DeviceModel::Reply(const uint8_t *bytes, size_t count)
{
    line_.Send(bytes, count, NowNs());
}

void DeviceModel::OnFrame(uint8_t command, const uint8_t *body, size_t length)
{
    switch (command) {
    case 0xF4: Status(); break;
    case 0xF0: JobStart(body); break;
    case 0xF3: DataFrame(body, length); break;
    case 0xF5: EndOfPage(); break;
    case 0xF7: ScanCommand(); break;
    default: break;
    }
}

void DeviceModel::OnUnknown(const uint8_t *bytes, size_t shown, size_t total)
{
    std::string hex = EventLog::Hex(bytes, shown);
    log_.Line("unknown count=%zu bytes=%s%s", total, hex.c_str(), total > shown ? " ..." : "");
}

void DeviceModel::OnIncompleteFrame(size_t bytes)
{
    log_.Line("incomplete count=%zu", bytes);
}

void DeviceModel::Status()
{
    if (!Answering()) {
        log_.Line("status state=%s reply=none", stateName_.c_str());
        return;
    }
    uint8_t reply[9] = {0xF4, 0, 0, 0, 0, 0, status_, 0, 0};
    if (faults_.Fires(Fault::ShortStatus)) {
        log_.Line("fault short-status fired");
        Reply(reply, 4);
        log_.Line("status state=%s reply=short", stateName_.c_str());
        return;
    }
    Reply(reply, sizeof reply);
    log_.Line("status state=%s reply=%02X", stateName_.c_str(), status_);
}

void DeviceModel::JobStart(const uint8_t *body)
{
    if (!Answering()) {
        log_.Line("job a=%d b=%d c=%d reply=none", body[1], body[2], body[3]);
        return;
    }
    if (pages_.Frames() > 0) {
        log_.Line("discarded page=%d frames=%d bytes=%zu", pages_.NextPage(), pages_.Frames(), pages_.Bytes());
        pages_.Discard();
    }
    if (body[0] != 0x03)
        log_.Line("job a=%d b=%d c=%d head=%02X", body[1], body[2], body[3], body[0]);
    else
        log_.Line("job a=%d b=%d c=%d", body[1], body[2], body[3]);
    const uint8_t reply[3] = {0xF0, 0x00, 0x00};
    Reply(reply, sizeof reply);
}

void DeviceModel::DataFrame(const uint8_t *body, size_t length)
{
    size_t count = body[0];
    if (!Answering()) {
        log_.Line("frame page=%d index=%d reply=none", pages_.NextPage(), pages_.Frames() + 1);
        return;
    }
    pages_.AddFrame(body + 1, count);
    int index = pages_.Frames();
    if (count != standin::kLineBytes || length != count + 3)
        log_.Line("frame page=%d index=%d length=%zu", pages_.NextPage(), index, count);
    else
        log_.Line("frame page=%d index=%d", pages_.NextPage(), index);
    if (faults_.Fires(Fault::DropAck)) {
        log_.Line("fault drop-ack fired frame=%d", index);
    } else {
        const uint8_t reply[3] = {0xF3, 0x00, 0x00};
        Reply(reply, sizeof reply);
    }
    if (faults_.Fires(Fault::SilentAfterFrame)) {
        log_.Line("fault silent-after-frame fired frame=%d", index);
        GoSilent("fault");
    }
    if (faults_.Fires(Fault::UnplugAfterFrame)) {
        log_.Line("fault unplug-after-frame fired frame=%d", index);
        unplugWhenDrained_ = true;
    }
}

void DeviceModel::EndOfPage()
{
    if (!Answering()) {
        log_.Line("end-of-page page=%d frames=%d bytes=%zu reply=none", pages_.NextPage(), pages_.Frames(),
                  pages_.Bytes());
        return;
    }
    const uint8_t *wrong = nullptr;
    static const uint8_t badStatus[6] = {0xFE, 0xF6, 0x00, 0x01, 0x00, 0x00};
    static const uint8_t badKind[6] = {0xFE, 0xF7, 0x00, 0x00, 0x00, 0x00};
    Fault fired = Fault::Count;
    if (faults_.Fires(Fault::EopStatus)) {
        fired = Fault::EopStatus;
        wrong = badStatus;
    } else if (faults_.Fires(Fault::EopKind)) {
        fired = Fault::EopKind;
        wrong = badKind;
    } else if (faults_.Fires(Fault::EopSilent)) {
        fired = Fault::EopSilent;
    }
    if (fired != Fault::Count) {
        // The device failed the page: nothing is printed, and the host
        // sends the page again after a new job start.
        log_.Line("fault %s fired page=%d", FaultPlan::Name(fired), pages_.NextPage());
        log_.Line("end-of-page page=none frames=%d bytes=%zu reply=%s", pages_.Frames(), pages_.Bytes(),
                  wrong ? EventLog::Hex(wrong, 6).c_str() : "none");
        pages_.Discard();
        if (wrong)
            Reply(wrong, 6);
        return;
    }
    int frames = pages_.Frames();
    size_t dropped = pages_.Dropped();
    PageAssembler::Page page = pages_.Finish();
    log_.Line("end-of-page page=%d frames=%d bytes=%zu lines=%zu file=%s%s%s", page.number, frames, page.bytes,
              page.lines, page.path.c_str(), page.written ? "" : " write-failed", dropped ? " clipped" : "");
    const uint8_t reply[6] = {0xFE, 0xF6, 0x00, 0x00, 0x00, 0x00};
    Reply(reply, sizeof reply);
    if (faults_.Fires(Fault::BusyAfterPage)) {
        log_.Line("fault busy-after-page fired page=%d", page.number);
        std::string ignored;
        SetState("busy", &ignored);
    }
}

void DeviceModel::ScanCommand()
{
    if (!Answering()) {
        log_.Line("scan reply=none state=%s", stateName_.c_str());
        return;
    }
    if (faults_.Fires(Fault::ScanSilent)) {
        log_.Line("fault scan-silent fired");
        log_.Line("scan reply=none state=%s", stateName_.c_str());
        return;
    }
    if (scan_ || document_.empty()) {
        log_.Line("scan reply=none reason=%s", scan_ ? "scanning" : "no-document");
        return;
    }
    const uint8_t reply[3] = {0xF7, 0x00, 0x00};
    Reply(reply, sizeof reply);
    scan_.reset(new ScanJob(&document_, standard_));
    log_.Line("scan pages=%zu resolution=%s", document_.size(), standard_ ? "standard" : "fine");
}

void DeviceModel::AbandonScan(const char *why)
{
    log_.Line("scan-abandoned records=%d reason=%s", scan_->RecordsMade(), why);
    scan_.reset();
}

void DeviceModel::FinishScan()
{
    log_.Line("scan-end records=%d", scan_->RecordsMade());
    scan_.reset();
    if (!keepDocument_) {
        document_.clear();
        if (!silent_ && status_ == 0x80) {
            std::string ignored;
            SetState("ready", &ignored);
        }
    }
}

void DeviceModel::GoSilent(const char *why)
{
    std::string ignored;
    SetState("silent", &ignored);
    log_.Line("state silent reason=%s", why);
}

void DeviceModel::PumpScan(size_t high, int64_t now)
{
    while (scan_ && line_.Pending() < high) {
        record_.clear();
        ScanJob::Record record;
        if (!scan_->Next(&record_, &record)) {
            FinishScan();
            return;
        }
        if (faults_.Fires(Fault::StrayByte)) {
            log_.Line("fault stray-byte fired record=%d", record.index);
            const uint8_t stray = 0x00;
            line_.Send(&stray, 1, now);
            AbandonScan("fault");
            return;
        }
        if (faults_.Fires(Fault::UnknownRecord)) {
            log_.Line("fault unknown-record fired record=%d", record.index);
            const uint8_t unknown[2] = {0xFE, 0xF4};
            line_.Send(unknown, 2, now);
            AbandonScan("fault");
            return;
        }
        if (record.kind == 0xF3 && faults_.Fires(Fault::ShortLine)) {
            size_t missing = faults_.Extra(Fault::ShortLine) > 0 ? static_cast<size_t>(faults_.Extra(Fault::ShortLine)) : 3;
            size_t announced = record.length;
            size_t sent;
            if (announced == 0) {
                announced = missing > 255 ? 255 : missing;
                sent = 0;
            } else {
                sent = announced > missing ? announced - missing : 0;
            }
            record_[2] = static_cast<uint8_t>(announced);
            line_.Send(record_.data(), 3 + sent, now);
            log_.Line("fault short-line fired record=%d length=%zu sent=%zu", record.index, announced, sent);
            AbandonScan("fault");
            return;
        }
        line_.Send(record_, now);
        if (record.kind == 0xF3)
            log_.Line("record index=%d kind=F3 length=%zu%s", record.index, record.length,
                      record.clipped ? " clipped" : "");
        else
            log_.Line("record index=%d kind=%02X", record.index, record.kind);
        bool silent = faults_.Fires(Fault::SilentAfterRecord);
        bool unplug = faults_.Fires(Fault::UnplugAfterRecord);
        if (record.last)
            FinishScan();
        if (silent) {
            log_.Line("fault silent-after-record fired record=%d", record.index);
            if (scan_)
                AbandonScan("fault");
            GoSilent("fault");
        }
        if (unplug) {
            log_.Line("fault unplug-after-record fired record=%d", record.index);
            if (scan_)
                AbandonScan("fault");
            unplugWhenDrained_ = true;
        }
    }
}

void DeviceModel::OnSendDrained()
{
    if (unplugWhenDrained_)
        Unplug();
}

} // namespace device
