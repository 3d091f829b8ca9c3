// File names split as the class library splits them; folders through the
// platform's file calls.
#include "SysUtils.h"

#include "windows.h"

namespace {

// 1-based position of the last "\" or ":", 0 if none.
int LastPathDelimiter(const AnsiString &path) { return path.LastDelimiter("\\:"); }

} // namespace

AnsiString ExtractFilePath(const AnsiString &fileName)
{
    return fileName.SubString(1, LastPathDelimiter(fileName));
}

AnsiString ExtractFileName(const AnsiString &fileName)
{
    return fileName.SubString(LastPathDelimiter(fileName) + 1, fileName.Length());
}

AnsiString ExtractFileDrive(const AnsiString &fileName)
{
    if (fileName.Length() >= 2 && fileName[2] == ':')
        return fileName.SubString(1, 2);
    if (fileName.Length() >= 2 && fileName[1] == '\\' && fileName[2] == '\\') {
        // "\\server\share": up to the fourth backslash, or the whole name.
        int separators = 0;
        int i = 3;
        for (; i <= fileName.Length(); ++i) {
            if (fileName[i] == '\\' && ++separators == 2)
                break;
        }
        if (separators >= 1)
            return fileName.SubString(1, i - 1);
    }
    return AnsiString();
}

AnsiString ExcludeTrailingBackslash(const AnsiString &path)
{
    if (!path.IsEmpty() && path[path.Length()] == '\\')
        return path.SubString(1, path.Length() - 1);
    return path;
}

AnsiString IncludeTrailingBackslash(const AnsiString &path)
{
    if (!path.IsEmpty() && path[path.Length()] == '\\')
        return path;
    return path + "\\";
}

bool CreateDir(const AnsiString &dir) { return CreateDirectoryA(dir.c_str(), nullptr) != FALSE; }
