// The reg tool's operations: query, add and delete, as reg.exe does them,
// and check, which reports whether the hive files were taken whole.
// Results go to `out`, messages to `err`; each returns the exit code (0
// success, 1 failure).
#pragma once

#include "windef.h"

#include <iosfwd>
#include <string>

namespace regtool {

struct Request {
    HKEY root = nullptr;
    std::string rootName; // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    std::string path;     // below the root, without outer backslashes
    bool hasValue = false;
    std::string value;    // with hasValue; "" for the default value (/ve)
    bool allValues = false; // delete /va
    bool recursive = false; // query /s
    bool force = false;     // /f
    bool hasType = false;
    DWORD type = 0;
    bool hasData = false;
    std::string data;
    std::string separator = "\\0";
};

int Query(const Request &request, std::ostream &out, std::ostream &err);
// Questions (overwrite, delete) are read from `in` unless request.force.
int Add(const Request &request, std::istream &in, std::ostream &out, std::ostream &err);
int Delete(const Request &request, std::istream &in, std::ostream &out, std::ostream &err);
int Check(std::ostream &out, std::ostream &err);

} // namespace regtool
