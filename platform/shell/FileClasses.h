// File classes under HKEY_CLASSES_ROOT: which class an extension belongs
// to, and the command line a class gives for a verb.
#pragma once

#include <string>

namespace shell {

// The class named by the extension's key (".tif" -> "TIFImage.Document");
// "" when there is none.
std::string ClassOfExtension(const std::string &extension);

// The command of the class's shell\<verb>\command; a null verb is the
// class's default verb (the default value of its "shell" key), else
// "open". REG_EXPAND_SZ commands come with %VARIABLE% expanded. False when
// the class has no such command.
bool ClassCommand(const std::string &className, const char *verb, std::string *command);

// The command with "%1", "%0" and "%L" replaced by the file, "%*" by the
// parameters, "%%" by "%"; other "%2".."%9" give nothing.
std::string FillCommand(const std::string &command, const std::string &file, const std::string &parameters);

} // namespace shell
