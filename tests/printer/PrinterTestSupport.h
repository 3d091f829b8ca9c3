// Helpers for the printer program's tests: a fresh machine root, the UI
// language setting, standard input redirected to a job, sample jobs and the
// comparison of printed pages with their source.
#pragma once

#include <string>
#include <vector>

#include "Gb2312Text.h"
#include "JobWriter.h"
#include "PageImage.h"
#include "TempMachineRoot.h"

namespace printer_test {

using Bytes = std::vector<unsigned char>;

// A temporary folder as the machine root (ARV_MACHINE_ROOT) for the life of
// the object; the variable is restored and the folder removed afterwards.
using testsupport::TempMachineRoot;

// Writes the machine's user-interface language (1033, 2052, ...).
bool SetUiLanguage(int language);

// Standard input (descriptor 0) reads `bytes` from a file while the object
// lives; the previous standard input comes back afterwards.
class StdinFromBytes {
public:
    StdinFromBytes(const Bytes &bytes, const std::string &file);
    ~StdinFromBytes();
    StdinFromBytes(const StdinFromBytes &) = delete;
    StdinFromBytes &operator=(const StdinFromBytes &) = delete;

    bool Ok() const { return FSaved >= 0; }

private:
    int FSaved = -1;
};

// Text pages of `rows` rows, different for every index; short enough that
// a page goes over the slow wire in a second or two.
std::vector<jobwriter::PageImage> SamplePages(int count, int rows = 160, unsigned seed = 1);

// A job that the coder reproduces line for line (exact blank runs).
Bytes JobOf(const std::vector<jobwriter::PageImage> &pages, int copies = 1, char resolution = '2');

// The coded size of each page of a job, as the print thread sends it.
std::vector<int> CodedPageSizes(const Bytes &job);
// Data frames the device link sends for a coded page.
int FramesOf(int codedSize);

// Compares the printed PBM files with the source pages: the same number,
// each the same rows, except that the printed page may end early where the
// source has only blank rows left. Empty when they match, else what differs.
std::string ComparePages(const std::vector<jobwriter::PageImage> &source, const std::vector<std::string> &printed);

// UTF-8 text in GB2312, as the program's Chinese texts are stored.
using testsupport::Gb2312;
// The text as a dialog shows it: "\r\n" and a lone "\r" become "\n".
std::string Shown(const std::string &text);

} // namespace printer_test
