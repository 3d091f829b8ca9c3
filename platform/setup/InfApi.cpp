// Reading INF files: a handle is the parsed file; a context names a line
// by its section and its place in it.
#include "setupapi.h"

#include <cstring>

#include "kernel/PathResolution.h"
#include "setup/InfFile.h"
#include "winbase.h"

namespace {

const setup::InfFile *InfOf(const INFCONTEXT *context)
{
    return context ? static_cast<const setup::InfFile *>(context->Inf) : nullptr;
}

// The line a context names, or null.
const setup::InfLine *LineOf(const INFCONTEXT *context)
{
    const setup::InfFile *inf = InfOf(context);
    if (!inf || context->Section >= inf->SectionCount())
        return nullptr;
    const setup::InfSection &section = inf->Section(context->Section);
    return context->Line < section.lines.size() ? &section.lines[context->Line] : nullptr;
}

} // namespace

HINF WINAPI SetupOpenInfFileA(PCSTR FileName, PCSTR, DWORD InfStyle, PUINT ErrorLine)
{
    if (ErrorLine)
        *ErrorLine = 0;
    auto *inf = new setup::InfFile;
    const DWORD loaded = setup::LoadInf(FileName, InfStyle, inf, nullptr, ErrorLine);
    if (loaded != ERROR_SUCCESS) {
        delete inf;
        SetLastError(loaded);
        return INVALID_HANDLE_VALUE;
    }
    return inf;
}

void WINAPI SetupCloseInfFile(HINF InfHandle)
{
    if (InfHandle && InfHandle != INVALID_HANDLE_VALUE)
        delete static_cast<setup::InfFile *>(InfHandle);
}

BOOL WINAPI SetupFindFirstLineA(HINF InfHandle, PCSTR Section, PCSTR Key, PINFCONTEXT Context)
{
    if (!InfHandle || InfHandle == INVALID_HANDLE_VALUE || !Section || !Context) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto *inf = static_cast<const setup::InfFile *>(InfHandle);
    const int section = inf->FindSection(Section);
    if (section >= 0) {
        const std::vector<setup::InfLine> &lines = inf->Section(static_cast<size_t>(section)).lines;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (Key && !platform::SameNameIgnoringCase(inf->KeyOf(lines[i]), Key))
                continue;
            Context->Inf = InfHandle;
            Context->CurrentInf = InfHandle;
            Context->Section = static_cast<UINT>(section);
            Context->Line = static_cast<UINT>(i);
            return TRUE;
        }
    }
    SetLastError(ERROR_LINE_NOT_FOUND);
    return FALSE;
}

BOOL WINAPI SetupFindNextLine(const INFCONTEXT *ContextIn, PINFCONTEXT ContextOut)
{
    if (!LineOf(ContextIn) || !ContextOut) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const setup::InfSection &section = InfOf(ContextIn)->Section(ContextIn->Section);
    if (ContextIn->Line + 1 >= section.lines.size()) {
        SetLastError(ERROR_LINE_NOT_FOUND);
        return FALSE;
    }
    const INFCONTEXT next{ContextIn->Inf, ContextIn->CurrentInf, ContextIn->Section, ContextIn->Line + 1};
    *ContextOut = next;
    return TRUE;
}

DWORD WINAPI SetupGetFieldCount(const INFCONTEXT *Context)
{
    const setup::InfLine *line = LineOf(Context);
    if (!line) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<DWORD>(line->fields.size());
}

BOOL WINAPI SetupGetStringFieldA(const INFCONTEXT *Context, DWORD FieldIndex, PSTR ReturnBuffer,
                                 DWORD ReturnBufferSize, PDWORD RequiredSize)
{
    const setup::InfLine *line = LineOf(Context);
    if (!line || FieldIndex > line->fields.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const setup::InfFile *inf = InfOf(Context);
    const std::string text = FieldIndex == 0 ? inf->KeyOf(*line) : inf->Expand(line->fields[FieldIndex - 1]);
    const DWORD needed = static_cast<DWORD>(text.size() + 1);
    if (RequiredSize)
        *RequiredSize = needed;
    if (!ReturnBuffer)
        return TRUE;
    if (ReturnBufferSize < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(ReturnBuffer, text.c_str(), needed);
    return TRUE;
}
