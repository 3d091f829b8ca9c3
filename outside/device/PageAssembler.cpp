#include "PageAssembler.h"

#include "Pbm.h"

#include <cstdio>

namespace device {

PageAssembler::PageAssembler(const std::string &folder)
    : folder_(folder), decoder_(kMaxLines * standin::kLineBytes)
{
    decoded_.reserve(3300 * standin::kLineBytes);
}

void PageAssembler::AddFrame(const uint8_t *data, size_t count)
{
    decoder_.Feed(data, count, &decoded_);
    ++frames_;
}

PageAssembler::Page PageAssembler::Finish()
{
    Page page;
    page.number = ++saved_;
    page.bytes = decoded_.size();
    page.lines = (decoded_.size() + standin::kLineBytes - 1) / standin::kLineBytes;
    char name[32];
    snprintf(name, sizeof name, "page-%04d.pbm", page.number);
    page.path = folder_ + "/" + name;
    page.written = standin::WritePbm(page.path, standin::BitmapFromLines(decoded_.data(), decoded_.size()));
    Discard();
    return page;
}

void PageAssembler::Discard()
{
    decoded_.clear();
    decoder_.Reset();
    frames_ = 0;
}

} // namespace device
