// Environment variables set or cleared for the life of an object: each one
// it touches gets its earlier value (or absence) back at the end.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

    void Set(const char *name, const std::string &value);
    void Clear(const char *name);

private:
    void Save(const char *name);

    // Name, then whether it was set and its value, in the order touched.
    std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

} // namespace testsupport
