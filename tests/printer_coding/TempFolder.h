// A fresh folder for one test's files, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace printer_test {

class TempFolder {
public:
    TempFolder()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/printer_coding.XXXXXX";
        if (char *made = mkdtemp(pattern.data()))
            FPath = made;
    }
    ~TempFolder()
    {
        if (!FPath.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(FPath, ignored);
        }
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    bool Made() const { return !FPath.empty(); }
    std::string File(const std::string &name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

} // namespace printer_test
