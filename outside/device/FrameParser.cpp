#include "FrameParser.h"

namespace device {
namespace {

// Body length of a command with a fixed length; 0 for an unknown command.
size_t FixedBody(uint8_t command)
{
    switch (command) {
    case 0xF4: case 0xF5: case 0xF7: return 3;
    case 0xF0: return 6;
    default: return 0;
    }
}

} // namespace

void FrameParser::NoteUnknown(uint8_t byte)
{
    if (unknownCount_ < sizeof unknown_)
        unknown_[unknownCount_++] = byte;
    ++unknownTotal_;
}

void FrameParser::FlushUnknown(FrameSink *sink)
{
    if (unknownTotal_ == 0)
        return;
    sink->OnUnknown(unknown_, unknownCount_, unknownTotal_);
    unknownCount_ = 0;
    unknownTotal_ = 0;
}

void FrameParser::Feed(const uint8_t *bytes, size_t count, FrameSink *sink)
{
    for (size_t i = 0; i < count; ++i) {
        uint8_t byte = bytes[i];
        switch (stage_) {
        case Stage::Lead:
            if (byte == 0xFE)
                stage_ = Stage::Command;
            else
                NoteUnknown(byte);
            break;
        case Stage::Command:
            if (byte == 0xF3) {
                command_ = byte;
                dataLength_ = true;
                have_ = 0;
                stage_ = Stage::Body;
            } else if (FixedBody(byte)) {
                command_ = byte;
                need_ = FixedBody(byte);
                dataLength_ = false;
                have_ = 0;
                stage_ = Stage::Body;
            } else {
                // FE and a byte that starts no frame: the FE is unknown, and
                // the byte may itself be the lead of the next frame.
                NoteUnknown(0xFE);
                if (byte == 0xFE) {
                    stage_ = Stage::Command;
                } else {
                    NoteUnknown(byte);
                    stage_ = Stage::Lead;
                }
            }
            break;
        case Stage::Body:
            body_[have_++] = byte;
            if (dataLength_) {
                need_ = 1 + static_cast<size_t>(byte) + 2;
                dataLength_ = false;
            }
            if (have_ == need_) {
                FlushUnknown(sink);
                stage_ = Stage::Lead;
                sink->OnFrame(command_, body_, have_);
            }
            break;
        }
    }
    if (stage_ != Stage::Command)
        FlushUnknown(sink);
}

size_t FrameParser::Abandon()
{
    size_t had = stage_ == Stage::Lead ? 0 : 1 + (stage_ == Stage::Body ? 1 + have_ : 0);
    stage_ = Stage::Lead;
    have_ = 0;
    return had;
}

} // namespace device
