// What the device does on the wire: answers the host's frames by its state,
// prints pages, sends scans and plays the faults it is armed with. The event
// loop feeds it the host's frames and lets it top up the send queue while a
// scan runs; the control commands change its state.
#pragma once

#include "BridgePlug.h"
#include "EventLog.h"
#include "FaultPlan.h"
#include "FrameParser.h"
#include "PageAssembler.h"
#include "Pbm.h"
#include "ScanJob.h"
#include "SerialLine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace device {

class DeviceModel final : public FrameSink {
public:
    DeviceModel(EventLog &log, PageAssembler &pages, BridgePlug &bridge, SerialLine &line,
                const std::string &ttyPath);

    // ready, busy, error, document, silent, or a raw status byte 0xNN.
    bool SetState(const std::string &name, std::string *error);
    const std::string &StateName() const { return stateName_; }

    // Puts a document of 1728-dot-wide PBM pages in the device (state
    // document). Refused while a scan runs.
    bool LoadDocument(const std::vector<std::string> &files, std::string *error);
    size_t DocumentPages() const { return document_.size(); }
    void SetKeepDocument(bool keep) { keepDocument_ = keep; }
    bool KeepDocument() const { return keepDocument_; }
    void SetStandard(bool standard) { standard_ = standard; }
    bool Standard() const { return standard_; }

    FaultPlan &Faults() { return faults_; }

    bool Plug();
    bool Unplug();
    bool Plugged() const { return bridge_.Plugged(); }
    int PagesPrinted() const { return pages_.Saved(); }

    void OnFrame(uint8_t command, const uint8_t *body, size_t length) override;
    void OnUnknown(const uint8_t *bytes, size_t shown, size_t total) override;
    void OnIncompleteFrame(size_t bytes);

    bool Scanning() const { return scan_ != nullptr; }
    // Tops up the send queue with scan records up to about `high` bytes.
    void PumpScan(size_t high, int64_t now);
    // Called when the send queue is empty: a fault's unplug waits for that.
    void OnSendDrained();

private:
    bool Answering() const { return bridge_.Plugged() && !silent_; }
    void Reply(const uint8_t *bytes, size_t count);
    void Status();
    void JobStart(const uint8_t *body);
    void DataFrame(const uint8_t *body, size_t length);
    void EndOfPage();
    void ScanCommand();
    void AbandonScan(const char *why);
    void FinishScan();
    void GoSilent(const char *why);

    EventLog &log_;
    PageAssembler &pages_;
    BridgePlug &bridge_;
    SerialLine &line_;
    std::string tty_;
    FaultPlan faults_;

    uint8_t status_ = 0x00;
    bool silent_ = false;
    std::string stateName_ = "ready";

    std::vector<standin::Bitmap> document_;
    bool keepDocument_ = false;
    bool standard_ = false;
    std::unique_ptr<ScanJob> scan_;
    std::vector<uint8_t> record_;
    bool unplugWhenDrained_ = false;
};

} // namespace device
