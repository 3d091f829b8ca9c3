// Small generated inputs that the readers' tests, benchmarks and fuzz seeds
// share: a form resource of many sibling labels, and the headers of a
// progressive JPEG that announces a picture far larger than its data.
#pragma once

#include <string>

namespace testsupport {

// "object <name>: <formClass>" holding `count` labels side by side on the
// form, each with a caption and a position of its own.
std::string LabelsFormText(const std::string &name, const std::string &formClass, int count);

// A progressive JPEG of `width` x `height` pixels in three components that
// ends right after its first scan header: 126 bytes, whatever the size.
std::string ProgressiveJpegHeader(unsigned width, unsigned height);

} // namespace testsupport
