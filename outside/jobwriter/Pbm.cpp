#include "PageImage.h"

#include <utility>

#include "PbmImage.h"

namespace jobwriter {
namespace {

// A page is an image exactly 1728 dots wide with at least one row.
bool TakePage(pbm::Image &image, PageImage &page, std::string &error)
{
    if (image.width != kPageDots) {
        error = "the page must be 1728 dots wide";
        return false;
    }
    if (image.height < 1) {
        error = "the page has no rows";
        return false;
    }
    page.Height = image.height;
    page.Bits = std::move(image.rows);
    return true;
}

} // namespace

bool ParsePbm(const std::string &bytes, PageImage &page, std::string &error)
{
    pbm::Image image;
    return pbm::Parse(bytes, &image, &error) && TakePage(image, page, error);
}

bool ReadPbmFile(const std::string &path, PageImage &page, std::string &error)
{
    pbm::Image image;
    if (!pbm::ReadFile(path, &image, &error))
        return false;
    if (!TakePage(image, page, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string FormatPbm(const PageImage &page) { return pbm::Format(kPageDots, page.Height, page.Bits.data()); }

bool WritePbmFile(const std::string &path, const PageImage &page)
{
    return pbm::WriteFile(path, kPageDots, page.Height, page.Bits.data());
}

} // namespace jobwriter
