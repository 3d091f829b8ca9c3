// GB2312 (code page 936) text for tests: the programs hold their Chinese
// texts in it, while the tests write what they expect in UTF-8.
#pragma once

#include <string>

namespace testsupport {

// UTF-8 text in GB2312; empty when the text holds a character that GB2312
// lacks.
std::string Gb2312(const std::string &utf8);

// GB2312 bytes as UTF-8; false when they are not strict GB2312 (a byte
// sequence that it does not define, or a character only its supersets have).
bool Utf8FromGb2312(const std::string &gb2312, std::string &utf8);

} // namespace testsupport
