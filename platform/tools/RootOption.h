// The machine-root option of the platform's tools: "--root DIR" or
// "--root=DIR", anywhere on the command line.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tools {

// Tells whether args[at] is an option whose value is the next argument, so
// that a value spelt "--root" is left alone. Arguments before `at` are
// those that stay (the root options before them are already taken out).
using TakesValue = std::function<bool(const std::vector<std::string> &args, size_t at)>;

// Takes every root option out of `args` and points ARV_MACHINE_ROOT at its
// folder (the last one given wins). False, with `args` as far as it got,
// when "--root" is the last argument and so has no folder.
bool TakeRootOption(std::vector<std::string> &args, const TakesValue &takesValue);

} // namespace tools
