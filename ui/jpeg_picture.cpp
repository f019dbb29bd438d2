#include "ui/jpeg_picture.h"

#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE and size_t without including their headers

#include <jpeglib.h>

namespace {

// The program carries one small banner; refusing anything far larger bounds the allocation that
// a damaged header could ask for.
constexpr unsigned long long kMaxPixels = 4096ULL * 4096ULL;

struct ErrorManager {
    jpeg_error_mgr standard;  // first member: libjpeg hands back a pointer to it
    std::jmp_buf failed;
};

[[noreturn]] void jumpToFailure(j_common_ptr decoder) {
    std::longjmp(reinterpret_cast<ErrorManager*>(decoder->err)->failed, 1);
}

// A GUI program has nowhere to print libjpeg's messages; its warnings are still counted.
void discardMessage(j_common_ptr /*decoder*/) {}

// libjpeg reports an error by calling error_exit, which jumps back to the setjmp below. A
// longjmp skips destructors, which is undefined behaviour for any object that has a non-trivial
// one, so this function holds nothing but trivially destructible locals. The picture it fills
// and the decoder it drives belong to the caller, whose frame the jump never leaves.
bool decodeInto(jpeg_decompress_struct& decoder, ErrorManager& errors,
                std::span<const std::uint8_t> bytes, Picture& picture) {
    if (setjmp(errors.failed) != 0) {
        return false;
    }
    jpeg_create_decompress(&decoder);
    // Older libjpeg versions take a non-const buffer; none of them writes to it.
    jpeg_mem_src(&decoder, const_cast<unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&decoder, TRUE);
    if (static_cast<unsigned long long>(decoder.image_width) * decoder.image_height > kMaxPixels) {
        return false;
    }
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);

    const JDIMENSION width = decoder.output_width;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(decoder.output_height);
    picture.pixels.assign(static_cast<std::size_t>(width) * decoder.output_height * 4, 0);
    // Allocated in libjpeg's own pool, so jpeg_destroy_decompress frees it on every path.
    JSAMPARRAY row = (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder),
                                                  JPOOL_IMAGE, width * 3, 1);
    while (decoder.output_scanline < decoder.output_height) {
        std::uint8_t* out =
            picture.pixels.data() + static_cast<std::size_t>(decoder.output_scanline) * width * 4;
        if (jpeg_read_scanlines(&decoder, row, 1) != 1) {
            return false;  // only a suspending data source returns no row, and ours never does
        }
        const JSAMPLE* in = row[0];
        for (JDIMENSION x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    jpeg_finish_decompress(&decoder);
    // Truncated or damaged data only draws warnings (libjpeg fills in grey and goes on); a
    // banner patched with grey is still a broken banner.
    return errors.standard.num_warnings == 0;
}

}  // namespace

Picture decodeJpeg(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > ULONG_MAX) {
        return {};
    }
    jpeg_decompress_struct decoder{};
    ErrorManager errors{};
    decoder.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = jumpToFailure;
    errors.standard.output_message = discardMessage;

    Picture picture;
    const bool decoded = decodeInto(decoder, errors, bytes, picture);
    // Safe after a failure at any point, even before jpeg_create_decompress has run.
    jpeg_destroy_decompress(&decoder);
    if (!decoded) {
        return {};
    }
    return picture;
}
