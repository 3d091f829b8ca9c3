// The machine's user-interface language and the code pages that follow it.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows.h"
#include "machine/MachineRoot.h"

namespace {

const LANGID kEnglish = 1033;
const LANGID kChinese = 2052;
const LANGID kFrench = 1036;

// The id in the settings file, or 0 when there is none that reads as one.
LANGID SettingsLanguage()
{
    std::string file = machine::SettingsFolder() + "/ui-language";
    FILE *in = fopen(file.c_str(), "rb");
    if (!in)
        return 0;
    char text[32] = {};
    size_t got = fread(text, 1, sizeof text - 1, in);
    fclose(in);
    text[got] = 0;
    const char *start = text;
    while (*start == ' ' || *start == '\t')
        ++start;
    char *end = nullptr;
    unsigned long id = strtoul(start, &end, 10);
    if (end == start || id == 0 || id > 0xFFFF)
        return 0;
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n')
        ++end;
    return *end ? 0 : static_cast<LANGID>(id);
}

// The locale the environment names for messages, as POSIX orders it.
const char *LocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = getenv(variable);
        if (value && *value)
            return value;
    }
    return nullptr;
}

LANGID LocaleLanguage()
{
    const char *locale = LocaleName();
    if (!locale)
        return 0;
    std::string name(locale, strcspn(locale, ".@"));
    std::string language = name.substr(0, name.find('_'));
    if (name == "zh_CN" || name == "zh")
        return kChinese;
    if (language == "fr")
        return kFrench;
    return kEnglish; // en_US, C, POSIX and every language the system does not know
}

} // namespace

LANGID WINAPI GetSystemDefaultUILanguage()
{
    if (LANGID id = SettingsLanguage())
        return id;
    if (LANGID id = LocaleLanguage())
        return id;
    return kEnglish;
}

LANGID WINAPI GetUserDefaultUILanguage() { return GetSystemDefaultUILanguage(); }
LANGID WINAPI GetSystemDefaultLangID() { return GetSystemDefaultUILanguage(); }
LANGID WINAPI GetUserDefaultLangID() { return GetSystemDefaultUILanguage(); }

UINT WINAPI GetACP() { return GetSystemDefaultUILanguage() == kChinese ? 936 : 1252; }
UINT WINAPI GetOEMCP() { return GetSystemDefaultUILanguage() == kChinese ? 936 : 437; }
