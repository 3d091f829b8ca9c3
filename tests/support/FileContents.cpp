#include "FileContents.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace testsupport {

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ReadBytes(const std::string &path)
{
    const std::string text = ReadText(path);
    return Bytes(text.begin(), text.end());
}

bool WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

bool WriteBytes(const std::string &path, const Bytes &bytes)
{
    return WriteText(path, std::string(bytes.begin(), bytes.end()));
}

bool ReplaceText(const std::string &path, const std::string &text)
{
    const std::string fresh = path + ".edit";
    return WriteText(fresh, text) && std::rename(fresh.c_str(), path.c_str()) == 0;
}

bool CopyWithMode(const std::string &from, const std::string &to, unsigned mode)
{
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    return !error && chmod(to.c_str(), mode) == 0;
}

} // namespace testsupport
