#include "PrinterTestSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "FileContents.h"
#include "Kv8m.h"
#include "MemoryStream.h"
#include "Pbm.h"
#include "Pcl_parser.h"
#include "SamplePages.h"

namespace printer_test {

bool SetUiLanguage(int language) { return testsupport::WriteUiLanguage(std::to_string(language) + "\n"); }

StdinFromBytes::StdinFromBytes(const Bytes &bytes, const std::string &file)
{
    if (!testsupport::WriteBytes(file, bytes))
        return;
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    FSaved = dup(STDIN_FILENO);
    if (FSaved >= 0 && dup2(fd, STDIN_FILENO) < 0) {
        close(FSaved);
        FSaved = -1;
    }
    close(fd);
}

StdinFromBytes::~StdinFromBytes()
{
    if (FSaved < 0)
        return;
    dup2(FSaved, STDIN_FILENO);
    close(FSaved);
}

std::vector<jobwriter::PageImage> SamplePages(int count, int rows, unsigned seed)
{
    // The generated pages have a blank top margin; a short page is cut from
    // their first lines of ink.
    constexpr int kTopMargin = 100;
    std::vector<jobwriter::PageImage> pages;
    for (int i = 0; i < count; ++i) {
        unsigned pageSeed = seed * 101 + static_cast<unsigned>(i);
        jobwriter::PageImage full = i % 3 == 2 ? jobwriter::MakeDrawingPage(pageSeed, rows + 2 * kTopMargin)
                                               : jobwriter::MakeTextPage(pageSeed, rows + 2 * kTopMargin);
        jobwriter::PageImage page(rows);
        std::copy(full.Row(kTopMargin), full.Row(kTopMargin + rows), page.Bits.begin());
        // Every page must carry ink, or comparing it would prove nothing.
        page.Row(0)[i % jobwriter::kRowBytes] |= 0x81;
        pages.push_back(std::move(page));
    }
    return pages;
}

Bytes JobOf(const std::vector<jobwriter::PageImage> &pages, int copies, char resolution)
{
    jobwriter::JobOptions options;
    options.Copies = copies;
    options.Resolution = resolution;
    options.ExactBlankLines = true;
    return jobwriter::WriteJob(pages, options);
}

std::vector<int> CodedPageSizes(const Bytes &job)
{
    TMemoryStream stream;
    stream.Write(job.data(), static_cast<int>(job.size()));
    TPCL_file parser(&stream);
    std::vector<int> sizes;
    if (parser.Parse() != 0)
        return sizes;
    TKv8m_Compress coder(&parser);
    coder.Convert();
    if (!coder.GetSizes())
        return sizes;
    for (int size : *coder.GetSizes())
        sizes.push_back(size);
    return sizes;
}

int FramesOf(int codedSize) { return (codedSize + 215) / 216; }

std::string ComparePages(const std::vector<jobwriter::PageImage> &source, const std::vector<std::string> &printed)
{
    std::ostringstream problems;
    if (source.size() != printed.size())
        problems << printed.size() << " pages printed, " << source.size() << " sent; ";
    for (size_t i = 0; i < source.size() && i < printed.size(); ++i) {
        standin::Bitmap page;
        if (!standin::ReadPbm(printed[i], &page)) {
            problems << "page " << i + 1 << " unreadable; ";
            continue;
        }
        const jobwriter::PageImage &want = source[i];
        if (page.width != jobwriter::kPageDots || page.height > want.Height) {
            problems << "page " << i + 1 << " is " << page.width << "x" << page.height << "; ";
            continue;
        }
        const int row =
            pbm::FirstDifferentRow(jobwriter::kPageDots, want.Bits.data(), want.Height, page.rows.data(), page.height);
        if (row >= page.height)
            problems << "page " << i + 1 << " ends at row " << page.height << " before its last black row; ";
        else if (row >= 0)
            problems << "page " << i + 1 << " differs at row " << row << "; ";
    }
    return problems.str();
}

std::string Shown(const std::string &text)
{
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            shown += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace printer_test
