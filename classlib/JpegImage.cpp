#include "JpegImage.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "AnsiString.h"
#include "Exceptions.h"

namespace {

// Decoded pixels beyond this are refused rather than allocated; libjpeg's
// own memory (a progressive picture's coefficients above all) has the same
// bound, so a header that announces a huge picture fails before the
// decoder allocates for it.
constexpr unsigned long long kMostDecodedBytes = 256ull * 1024 * 1024;

// Everything the decoder and its error handlers share. Its frames hold only
// plain data, so the jump out of an error handler back to DecodeJpeg passes
// no C++ object that would need destroying.
struct JpegSession {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jmp_buf escape;
    int code = 0;    // libjpeg's message number of the first failure
    bool tooLarge = false;
};

JpegSession *SessionOf(j_common_ptr info)
{
    // `errors` is reached through info->err; the session is around it.
    return reinterpret_cast<JpegSession *>(reinterpret_cast<char *>(info->err) - offsetof(JpegSession, errors));
}

// An error: libjpeg cannot go on.
[[noreturn]] void Fail(j_common_ptr info)
{
    JpegSession *session = SessionOf(info);
    if (session->code == 0)
        session->code = info->err->msg_code;
    // Past its memory bound libjpeg would need a backing store, which it
    // has none of, or it runs out of memory: the picture is too large.
    if (info->err->msg_code == JERR_NO_BACKING_STORE || info->err->msg_code == JERR_OUT_OF_MEMORY)
        session->tooLarge = true;
    longjmp(session->escape, 1);
}

// A warning (level -1) is damaged data, such as a file that ends early, that
// libjpeg would paper over; it ends the decoding as an error does. Trace
// messages (level 0 and up) are dropped.
void Message(j_common_ptr info, int level)
{
    if (level < 0)
        Fail(info);
}

// Decodes into `image`, which lives in the caller's frame. False when
// libjpeg failed or the picture is too large; the session says why.
bool DecodeJpeg(JpegSession *session, const unsigned char *data, unsigned long size, QImage *image)
{
    session->info.err = jpeg_std_error(&session->errors);
    session->errors.error_exit = Fail;
    session->errors.emit_message = Message;
    if (setjmp(session->escape)) {
        jpeg_destroy_decompress(&session->info);
        return false;
    }
    jpeg_create_decompress(&session->info);
    session->info.mem->max_memory_to_use = static_cast<long>(kMostDecodedBytes);
    jpeg_mem_src(&session->info, data, size);
    jpeg_read_header(&session->info, TRUE);
    session->info.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&session->info);
    const unsigned long long bytes = 3ull * session->info.output_width * session->info.output_height;
    if (bytes > kMostDecodedBytes) {
        session->tooLarge = true;
        jpeg_destroy_decompress(&session->info);
        return false;
    }
    jpeg_start_decompress(&session->info);
    *image = QImage(static_cast<int>(session->info.output_width), static_cast<int>(session->info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        session->tooLarge = true;
        jpeg_destroy_decompress(&session->info);
        return false;
    }
    unsigned char *const first = image->bits();
    const long long stride = image->bytesPerLine();
    while (session->info.output_scanline < session->info.output_height) {
        JSAMPROW row = first + stride * session->info.output_scanline;
        jpeg_read_scanlines(&session->info, &row, 1);
    }
    jpeg_finish_decompress(&session->info);
    jpeg_destroy_decompress(&session->info);
    return true;
}

} // namespace

void TJPEGImage::LoadFromData(const QByteArray &Data)
{
    JpegSession session;
    QImage image;
    if (!DecodeJpeg(&session, reinterpret_cast<const unsigned char *>(Data.constData()),
                    static_cast<unsigned long>(Data.size()), &image)) {
        if (session.tooLarge)
            throw EJPEG("JPEG image is too large");
        throw EJPEG("JPEG error #" + IntToStr(session.code));
    }
    SetDecoded(image);
}

std::unique_ptr<TGraphic> TJPEGImage::Copy() const { return std::make_unique<TJPEGImage>(*this); }
