// arv_jobwriter: writes a print job stream from PBM page images, as the
// device's printer driver would.
//
//   arv_jobwriter [--copies N] [--resolution 1|2] [--page-end 4|6]
//                 [--exact-blanks] [-o FILE] PAGE.pbm...
//
// The job goes to FILE, or to standard output when none is given.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "JobWriter.h"

namespace {

void Usage()
{
    std::fprintf(stderr,
                 "usage: arv_jobwriter [--copies N] [--resolution 1|2] [--page-end 4|6]\n"
                 "                     [--exact-blanks] [-o FILE] PAGE.pbm...\n");
}

bool ParseCount(const char *text, int &value)
{
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 0 || v > 999999999)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool WriteAll(std::FILE *out, const std::vector<unsigned char> &bytes)
{
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fflush(out) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    jobwriter::JobOptions options;
    std::string output;
    std::vector<std::string> inputs;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--copies" && hasValue) {
            if (!ParseCount(argv[++i], options.Copies)) {
                std::fprintf(stderr, "arv_jobwriter: bad copy count '%s'\n", argv[i]);
                return 2;
            }
        } else if (arg == "--resolution" && hasValue) {
            std::string value = argv[++i];
            if (value != "1" && value != "2") {
                std::fprintf(stderr, "arv_jobwriter: the resolution is 1 or 2\n");
                return 2;
            }
            options.Resolution = value[0];
        } else if (arg == "--page-end" && hasValue) {
            std::string value = argv[++i];
            if (value != "4" && value != "6") {
                std::fprintf(stderr, "arv_jobwriter: the page end is 4 or 6\n");
                return 2;
            }
            options.PageEnd = value[0] - '0';
        } else if (arg == "--exact-blanks") {
            options.ExactBlankLines = true;
        } else if ((arg == "-o" || arg == "--output") && hasValue) {
            output = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            Usage();
            return 2;
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) {
        Usage();
        return 2;
    }

    std::vector<jobwriter::PageImage> pages;
    for (const std::string &path : inputs) {
        jobwriter::PageImage page;
        std::string error;
        if (!jobwriter::ReadPbmFile(path, page, error)) {
            std::fprintf(stderr, "arv_jobwriter: %s\n", error.c_str());
            return 1;
        }
        pages.push_back(std::move(page));
    }

    std::vector<unsigned char> job = jobwriter::WriteJob(pages, options);
    if (output.empty()) {
        if (!WriteAll(stdout, job)) {
            std::fprintf(stderr, "arv_jobwriter: cannot write the job\n");
            return 1;
        }
        return 0;
    }
    std::FILE *out = std::fopen(output.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "arv_jobwriter: cannot create %s: %s\n", output.c_str(), std::strerror(errno));
        return 1;
    }
    bool written = WriteAll(out, job);
    if (std::fclose(out) != 0)
        written = false;
    if (!written) {
        std::fprintf(stderr, "arv_jobwriter: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
