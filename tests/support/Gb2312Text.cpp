#include "Gb2312Text.h"

#include <iconv.h>

namespace testsupport {
namespace {

bool Convert(const char *to, const char *from, const std::string &text, std::string &out)
{
    iconv_t convert = iconv_open(to, from);
    if (convert == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(text.size() * 2 + 4, '\0');
    char *in = const_cast<char *>(text.data());
    size_t inLeft = text.size();
    char *result = out.data();
    size_t outLeft = out.size();
    size_t done = iconv(convert, &in, &inLeft, &result, &outLeft);
    iconv_close(convert);
    if (done == static_cast<size_t>(-1)) {
        out.clear();
        return false;
    }
    out.resize(out.size() - outLeft);
    return true;
}

} // namespace

std::string Gb2312(const std::string &utf8)
{
    std::string out;
    Convert("GB2312", "UTF-8", utf8, out);
    return out;
}

bool Utf8FromGb2312(const std::string &gb2312, std::string &utf8)
{
    return Convert("UTF-8", "GB2312", gb2312, utf8);
}

} // namespace testsupport
