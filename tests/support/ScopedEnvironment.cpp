#include "ScopedEnvironment.h"

#include <cstdlib>

namespace testsupport {

ScopedEnvironment::~ScopedEnvironment()
{
    // Latest first, so a variable touched twice ends as it was at the start.
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second.first)
            setenv(it->first.c_str(), it->second.second.c_str(), 1);
        else
            unsetenv(it->first.c_str());
    }
}

void ScopedEnvironment::Set(const char *name, const std::string &value)
{
    Save(name);
    setenv(name, value.c_str(), 1);
}

void ScopedEnvironment::Clear(const char *name)
{
    Save(name);
    unsetenv(name);
}

void ScopedEnvironment::Save(const char *name)
{
    const char *value = getenv(name);
    saved_.push_back({name, {value != nullptr, value ? value : ""}});
}

} // namespace testsupport
