#include "registry/SubKeyNames.h"

namespace registry {

std::vector<std::string> SubKeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[ARV_REG_MAX_KEY_NAME + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

} // namespace registry
