// Builds job streams record by record, well-formed or not, and runs the
// parser and coder over them.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Kv8m.h"
#include "MemoryStream.h"
#include "Pcl_parser.h"

namespace printer_test {

using Bytes = std::vector<unsigned char>;

class JobBytes {
public:
    JobBytes &Raw(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            FBytes.push_back(static_cast<unsigned char>(b));
        return *this;
    }
    JobBytes &Raw(const Bytes &bytes)
    {
        FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    JobBytes &Text(const std::string &text)
    {
        FBytes.insert(FBytes.end(), text.begin(), text.end());
        return *this;
    }
    JobBytes &DocumentStart() { return Raw({0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50}); }
    JobBytes &PageHeader(int resolution = '2', int last = '4')
    {
        return Raw({0x1B, 0x4F, 0x50, 0x1B, 0x52, resolution, 0x1B, 0x50, last});
    }
    // A row header announcing `count` data bytes, without the data.
    JobBytes &RowHeader(int advance, int count, int free1 = '*')
    {
        return Raw({0x1B, free1, 0x4D, advance & 0xFF, (advance >> 8) & 0xFF, 0x1B, 0x53, 0x42, count & 0xFF,
                    (count >> 8) & 0xFF});
    }
    JobBytes &Row(int advance, const Bytes &data)
    {
        RowHeader(advance, static_cast<int>(data.size()));
        return Raw(data);
    }
    JobBytes &PageEnd() { return Raw({0x1B, 0x45, 0x50, 0x1B, 0x42, 0x50}); }
    JobBytes &PageEndDocumentStart() { return Raw({0x1B, 0x45, 0x50, 0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50}); }
    // The job end pattern, the one byte after it, then the copy count text.
    JobBytes &JobEnd(const std::string &copies = "1")
    {
        Raw({0x1B, 0x45, 0x50, 0x1B, 0x45, 0x44, ' '});
        return Text(copies);
    }
    JobBytes &JobEndPatternOnly() { return Raw({0x1B, 0x45, 0x50, 0x1B, 0x45, 0x44}); }

    const Bytes &Get() const { return FBytes; }
    size_t Size() const { return FBytes.size(); }

private:
    Bytes FBytes;
};

// A parser over a copy of the bytes, with the result of Parse.
struct ParsedJob {
    std::unique_ptr<TPCL_file> File;
    int Result = 0;

    explicit ParsedJob(const Bytes &bytes)
    {
        TMemoryStream stream;
        if (!bytes.empty())
            stream.Write(bytes.data(), static_cast<int>(bytes.size()));
        File = std::make_unique<TPCL_file>(&stream);
        Result = File->Parse();
    }

    // Offset of a pointer into the parser's copy.
    long Offset(const unsigned char *p) const { return static_cast<long>(p - File->GetData()); }
};

// The coded pages of a parsed job: one byte vector per block, each cut to
// the block's size entry.
inline std::vector<Bytes> CodedPages(TKv8m_Compress &coder)
{
    std::vector<Bytes> pages;
    auto size = coder.GetSizes()->begin();
    for (unsigned char *block : *coder.GetBlocks()) {
        pages.emplace_back(block, block + *size);
        ++size;
    }
    return pages;
}

inline std::vector<Bytes> CodeJob(const Bytes &bytes)
{
    ParsedJob job(bytes);
    TKv8m_Compress coder(job.File.get());
    coder.Convert();
    return CodedPages(coder);
}

// The device's reading of a coded page: 00 k is k zero bytes, any other
// byte stands for itself.
inline Bytes DecodeZeroRuns(const Bytes &coded)
{
    Bytes out;
    for (size_t i = 0; i < coded.size(); ++i) {
        if (coded[i] != 0) {
            out.push_back(coded[i]);
        } else if (i + 1 < coded.size()) {
            out.insert(out.end(), coded[++i], 0);
        }
    }
    return out;
}

// The run pairs for `count` zero bytes, as the coder writes them before a
// non-zero byte.
inline Bytes ZeroRun(unsigned long count)
{
    Bytes out;
    while (count > 255) {
        out.push_back(0x00);
        out.push_back(0xFF);
        count -= 255;
    }
    out.push_back(0x00);
    out.push_back(static_cast<unsigned char>(count));
    return out;
}

inline Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace printer_test
