#include "spooler/InfoBuffer.h"

#include <limits>

#include "spooler/SpoolerStore.h"
#include "winbase.h"
#include "winerror.h"

namespace spooler {

BOOL InfoBuffer::Finish(LPDWORD pcbNeeded, LPDWORD pcReturned) const
{
    *pcbNeeded = fNeeded > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                             : static_cast<DWORD>(fNeeded);
    if (!Fits()) {
        *pcReturned = 0;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    *pcReturned = static_cast<DWORD>(fCount);
    return TRUE;
}

BOOL CheckEnumeration(LPSTR pName, DWORD level, DWORD maxLevel, LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded,
                      LPDWORD pcReturned)
{
    if (!IsLocalServer(pName))
        return FALSE;
    if (level < 1 || level > maxLevel)
        return Fail(ERROR_INVALID_LEVEL);
    if (!pcbNeeded || !pcReturned)
        return Fail(RPC_X_NULL_REF_POINTER);
    if (!buffer && cbBuf > 0)
        return Fail(ERROR_INVALID_USER_BUFFER);
    return TRUE;
}

} // namespace spooler
