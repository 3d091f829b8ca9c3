// The OEM copies of the USB bridge's INF files that installing leaves in
// the machine's INF store: which file a recorded copy really is, so that
// uninstalling deletes that copy and nothing else a record may name.
#pragma once

#include <string>

namespace oem_inf_copies {

// The store's own path of the copy that `recorded` (a record value's path)
// names, when that is an "oem<N>.inf" directly in the INF store (the
// Windows folder's "inf") and its bytes are those of "ftdibus.inf" or
// "ftdiport.inf" in `driverFolder` (ending in "\"); "" for anything else.
// The place is judged by the file itself, after the platform resolved
// drives, case and links, never by the record's text.
std::string StoreCopyOf(const std::string &recorded, const std::string &driverFolder);

} // namespace oem_inf_copies
