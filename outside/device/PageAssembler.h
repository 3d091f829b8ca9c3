// The print side: decodes the data bytes of a page's frames (zero-run coded,
// one stream across the frames) into 216-byte lines and saves each finished
// page as a PBM image, numbered in order, in the output folder.
#pragma once

#include "ZeroRun.h"

#include <cstdint>
#include <string>
#include <vector>

namespace device {

class PageAssembler {
public:
    // A page longer than this is clipped (far beyond any paper).
    static constexpr size_t kMaxLines = 65536;

    explicit PageAssembler(const std::string &folder);

    void AddFrame(const uint8_t *data, size_t count);
    int Frames() const { return frames_; }
    size_t Bytes() const { return decoded_.size(); }
    size_t Dropped() const { return decoder_.Dropped(); }
    // Number the page under way will get.
    int NextPage() const { return saved_ + 1; }
    int Saved() const { return saved_; }

    struct Page {
        int number = 0;
        size_t bytes = 0, lines = 0;
        std::string path;
        bool written = false;
    };
    // Saves the page under way (a partial last line is padded with zeros)
    // and starts a new one.
    Page Finish();
    // Forgets the page under way.
    void Discard();

private:
    std::string folder_;
    standin::ZeroRunDecoder decoder_;
    std::vector<uint8_t> decoded_;
    int frames_ = 0;
    int saved_ = 0;
};

} // namespace device
