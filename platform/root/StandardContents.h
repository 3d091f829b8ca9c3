// What a fresh machine root holds besides its empty folders: the machine
// hive's file classes and the machine's own programs (machine/Shell.h).
#pragma once

#include <string>

namespace machine {

// The text of a fresh root's machine hive.
std::string StandardMachineHive();

// Links each program of MachineProgramsFolder() into the root's drives at
// the same place; places already taken are left alone.
void LinkMachinePrograms(const std::string &root);

} // namespace machine
