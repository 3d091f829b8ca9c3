#include "ForgedInput.h"

namespace testsupport {

std::string LabelsFormText(const std::string &name, const std::string &formClass, int count)
{
    std::string text = "object " + name + ": " + formClass + "\n  ClientWidth = 800\n  ClientHeight = 600\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        text += "  object Label" + n + ": TLabel\n    Left = " + std::to_string(i % 80 * 10) +
                "\n    Top = " + std::to_string(i / 80 % 60 * 10) + "\n    Caption = 'L" + n + "'\n  end\n";
    }
    return text + "end\n";
}

std::string ProgressiveJpegHeader(unsigned width, unsigned height)
{
    std::string jpeg = "\xFF\xD8"; // start of image
    // One quantisation table of ones.
    jpeg += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01');
    // Progressive frame: 8 bits, height, width, three components sampled 1x1.
    const auto bytes16 = [](unsigned value) {
        return std::string{static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value & 0xFF)};
    };
    jpeg += std::string("\xFF\xC2\x00\x11\x08", 5) + bytes16(height) + bytes16(width) +
            std::string("\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00", 10);
    // A DC table with one code of one bit for the value 0.
    jpeg += std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(15, '\0') + std::string(1, '\0');
    // The first DC scan over all three components; no data follows.
    jpeg += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x00\x03\x00\x00\x00\x00", 14);
    return jpeg;
}

} // namespace testsupport
