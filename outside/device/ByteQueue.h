// A first-in first-out byte queue over one buffer that is compacted as it
// drains, so steady traffic allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace device {

class ByteQueue {
public:
    void Append(const uint8_t *bytes, size_t count) { bytes_.insert(bytes_.end(), bytes, bytes + count); }
    void Append(const std::vector<uint8_t> &bytes) { Append(bytes.data(), bytes.size()); }
    const uint8_t *Front() const { return bytes_.data() + head_; }
    size_t Size() const { return bytes_.size() - head_; }
    bool Empty() const { return Size() == 0; }
    void Consume(size_t count)
    {
        head_ += count;
        if (head_ == bytes_.size()) {
            bytes_.clear();
            head_ = 0;
        } else if (head_ > 65536 && head_ * 2 > bytes_.size()) {
            bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(head_));
            head_ = 0;
        }
    }
    void Clear()
    {
        bytes_.clear();
        head_ = 0;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t head_ = 0;
};

} // namespace device
