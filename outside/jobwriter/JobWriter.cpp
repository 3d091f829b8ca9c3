#include "JobWriter.h"

#include <initializer_list>
#include <string>

namespace jobwriter {

namespace {

constexpr int kLargestWord = 65535;

class JobStream {
public:
    explicit JobStream(std::vector<unsigned char> &out) : FOut(out) {}

    void Bytes(std::initializer_list<unsigned char> bytes) { FOut.insert(FOut.end(), bytes); }
    void Word(int value)
    {
        FOut.push_back(static_cast<unsigned char>(value & 0xFF));
        FOut.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
    }

    void DocumentStart() { Bytes({0x1B, 'B', 'D', 0x1B, 'B', 'P'}); }
    void PageHeader(char resolution)
    {
        Bytes({0x1B, 'O', 'P', 0x1B, 'R', static_cast<unsigned char>(resolution), 0x1B, 'P', '4'});
    }
    // A row record: header with the line advance and data count, then data.
    void Row(int advance, const unsigned char *data, int count)
    {
        Bytes({0x1B, '*', 'M'});
        Word(advance);
        Bytes({0x1B, 'S', 'B'});
        Word(count);
        FOut.insert(FOut.end(), data, data + count);
    }
    void PageEnd(int code)
    {
        if (code == 6)
            Bytes({0x1B, 'E', 'P', 0x1B, 'B', 'D', 0x1B, 'B', 'P'});
        else
            Bytes({0x1B, 'E', 'P', 0x1B, 'B', 'P'});
    }
    void JobEnd(int copies)
    {
        Bytes({0x1B, 'E', 'P', 0x1B, 'E', 'D', 'C'});
        std::string count = std::to_string(copies);
        FOut.insert(FOut.end(), count.begin(), count.end());
    }

private:
    std::vector<unsigned char> &FOut;
};

// Bytes of the row up to its last non-zero byte; 0 for a blank row.
int TrimmedLength(const unsigned char *row)
{
    int n = kRowBytes;
    while (n > 0 && row[n - 1] == 0)
        --n;
    return n;
}

// Writes one page's rows. `scale` is 2 at resolution '1', where the coder
// halves every advance, else 1.
void WriteRows(JobStream &job, const PageImage &page, int scale, bool exact)
{
    const int largest = kLargestWord / scale; // in lines
    long blank = 0;
    for (int y = 0; y < page.Height; ++y) {
        const unsigned char *row = page.Row(y);
        const int n = TrimmedLength(row);
        if (n == 0) {
            ++blank;
            continue;
        }
        if (exact) {
            // An empty row record with advance a (> 1) gives a + 1 lines, with
            // advance 1 one line; a row record with advance a > 1 gives a blank
            // lines before its own. Advance 1 is written as is at either
            // resolution: the coder ignores it.
            while (blank > largest + 1) {
                job.Row(largest * scale, row, 0);
                blank -= largest + 1;
            }
            if (blank == 1 || blank == largest + 1) {
                job.Row(1, row, 0);
                --blank;
            }
            job.Row(blank >= 2 ? static_cast<int>(blank) * scale : 1, row, n);
        } else {
            // The driver's way: the advance counts the lines moved down to
            // this row, 1 for the next line.
            while (1 + blank > largest) {
                job.Row(largest * scale, row, 0);
                blank -= largest;
            }
            job.Row(static_cast<int>(1 + blank) * scale, row, n);
        }
        blank = 0;
    }
    // Blank rows at the page's end are not written: nothing follows them.
}

} // namespace

std::vector<unsigned char> WriteJob(const std::vector<PageImage> &pages, const JobOptions &options)
{
    std::vector<unsigned char> out;
    JobStream job(out);
    const int scale = options.Resolution == '1' ? 2 : 1;
    job.DocumentStart();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            job.PageEnd(options.PageEnd);
        job.PageHeader(options.Resolution);
        WriteRows(job, pages[i], scale, options.ExactBlankLines);
    }
    job.JobEnd(options.Copies);
    return out;
}

} // namespace jobwriter
