#include "ScanJob.h"

#include "ZeroRun.h"

namespace device {

ScanJob::ScanJob(const std::vector<standin::Bitmap> *pages, bool standard)
    : pages_(pages), standard_(standard)
{
    done_ = pages_->empty();
}

bool ScanJob::Next(std::vector<uint8_t> *out, Record *record)
{
    if (done_)
        return false;
    *record = Record();
    record->index = ++index_;
    const standin::Bitmap &page = (*pages_)[page_];
    if (row_ < 0) {
        record->kind = page_ == 0 ? 0xF2 : 0xF8;
        // Only the header carries the resolution; a separator's bytes are 0.
        uint8_t lines = record->kind == 0xF2 && !standard_ ? 1 : 0;
        const uint8_t head[6] = {0xFE, record->kind, 0x00, lines, 0x00, 0x00};
        out->insert(out->end(), head, head + 6);
        row_ = 0;
        return true;
    }
    if (row_ < page.height) {
        record->kind = 0xF3;
        size_t at = out->size();
        out->push_back(0xFE);
        out->push_back(0xF3);
        out->push_back(0);
        record->length = standin::EncodeRecordLine(page.Row(row_), page.RowBytes(), standin::kMaxRecordBytes,
                                                   out, &record->clipped);
        (*out)[at + 2] = static_cast<uint8_t>(record->length);
        row_ += standard_ ? 2 : 1;
        return true;
    }
    // Page done: the next page's separator, or the end of the document.
    ++page_;
    if (page_ < pages_->size()) {
        row_ = -1;
        --index_;
        return Next(out, record);
    }
    record->kind = 0xF6;
    record->last = true;
    const uint8_t end[6] = {0xFE, 0xF6, 0, 0, 0, 0};
    out->insert(out->end(), end, end + 6);
    done_ = true;
    return true;
}

} // namespace device
