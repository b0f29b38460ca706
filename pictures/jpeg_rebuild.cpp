#include "pictures/jpeg_rebuild.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <csetjmp>
#include <cstdlib>

#include "pictures/location_seen.h"

namespace pictures {
namespace {

// Past this, libjpeg refuses rather than allocates: the picture process's
// memory limit stays the outer bound.
constexpr long kMostMemory = 768L << 20;

struct TJpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegFailure*>(info->err)->jump, 1);
}

// Level -1 is a warning about the data (cut short, corrupt): a failure here.
void Message(j_common_ptr info, int level) {
    if (level < 0) Fail(info);
}

void UseFailure(j_common_ptr info, TJpegFailure& failure) {
    info->err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = Fail;
    failure.manager.emit_message = Message;
}

const unsigned char* Data(std::string_view bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

void Save(jpeg_decompress_struct& source) {
    for (int marker = JPEG_APP0; marker <= JPEG_APP0 + 15; ++marker) jpeg_save_markers(&source, marker, 0xffff);
    jpeg_save_markers(&source, JPEG_COM, 0xffff);
}

void Examine(jpeg_decompress_struct& source, TJpegHeader& header) {
    const std::string_view exifStart{"Exif\0\0", 6};
    bool firstExif = true;
    for (jpeg_saved_marker_ptr marker = source.marker_list; marker != nullptr; marker = marker->next) {
        const std::string_view data(reinterpret_cast<const char*>(marker->data), marker->data_length);
        if (marker->marker == JPEG_APP0 + 1 && data.substr(0, exifStart.size()) == exifStart) {
            // The author's fields from the first, as every reader takes them.
            TKept found;
            if (ReadExif(data, firstExif ? header.kept : found)) header.hadLocation = true;
            firstExif = false;
        } else if (marker->marker != JPEG_APP0 + 2 && MentionsPlace(data)) {
            header.hadLocation = true;
        }
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(&source, &profile, &length)) {
        header.kept.iccProfile.assign(reinterpret_cast<const char*>(profile), length);
        std::free(profile);
    }
}

}  // namespace

std::optional<TJpegHeader> ReadJpegHeader(std::string_view jpeg) {
    jpeg_decompress_struct source{};
    TJpegFailure failure;
    UseFailure(reinterpret_cast<j_common_ptr>(&source), failure);
    jpeg_create_decompress(&source);
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&source);
        return std::nullopt;
    }
    jpeg_mem_src(&source, Data(jpeg), static_cast<unsigned long>(jpeg.size()));
    Save(source);
    jpeg_read_header(&source, TRUE);
    TJpegHeader header;
    header.width = static_cast<int>(source.image_width);
    header.height = static_cast<int>(source.image_height);
    header.cmyk = source.jpeg_color_space == JCS_CMYK || source.jpeg_color_space == JCS_YCCK;
    Examine(source, header);
    jpeg_destroy_decompress(&source);
    return header;
}

std::optional<std::string> CopyJpeg(std::string_view jpeg, const std::string& exif, const std::string& iccProfile) {
    jpeg_decompress_struct source{};
    jpeg_compress_struct copy{};
    TJpegFailure failure;
    UseFailure(reinterpret_cast<j_common_ptr>(&source), failure);
    UseFailure(reinterpret_cast<j_common_ptr>(&copy), failure);
    jpeg_create_decompress(&source);
    jpeg_create_compress(&copy);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&copy);
        jpeg_destroy_decompress(&source);
        std::free(out);
        return std::nullopt;
    }
    source.mem->max_memory_to_use = kMostMemory;
    jpeg_mem_src(&source, Data(jpeg), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&source, TRUE);
    // Reads every scan to its end: a file cut short fails here.
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&source);
    jpeg_mem_dest(&copy, &out, &size);
    jpeg_copy_critical_parameters(&source, &copy);
    copy.optimize_coding = TRUE;
    jpeg_write_coefficients(&copy, coefficients);
    jpeg_finish_compress(&copy);
    jpeg_finish_decompress(&source);
    std::string copied(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&copy);
    jpeg_destroy_decompress(&source);
    std::free(out);
    return WithJpegMetadata(copied, exif, iccProfile);
}

std::optional<QImage> DecodeJpegScaled(std::string_view jpeg, int width, int height) {
    jpeg_decompress_struct source{};
    TJpegFailure failure;
    UseFailure(reinterpret_cast<j_common_ptr>(&source), failure);
    jpeg_create_decompress(&source);
    QImage image;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&source);
        return std::nullopt;
    }
    source.mem->max_memory_to_use = kMostMemory;
    jpeg_mem_src(&source, Data(jpeg), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&source, TRUE);
    const bool gray = source.jpeg_color_space == JCS_GRAYSCALE;
    source.out_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_RGBX;
    // The smallest of n/8 that keeps both sides at least as asked.
    source.scale_denom = 8;
    for (source.scale_num = 1; source.scale_num < 8; ++source.scale_num) {
        jpeg_calc_output_dimensions(&source);
        if (static_cast<int>(source.output_width) >= width && static_cast<int>(source.output_height) >= height) break;
    }
    jpeg_start_decompress(&source);
    image = QImage(static_cast<int>(source.output_width), static_cast<int>(source.output_height),
                   gray ? QImage::Format_Grayscale8 : QImage::Format_RGBX8888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&source);
        return std::nullopt;
    }
    while (source.output_scanline < source.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(source.output_scanline));
        jpeg_read_scanlines(&source, &row, 1);
    }
    jpeg_finish_decompress(&source);
    jpeg_destroy_decompress(&source);
    return image;
}

std::optional<std::string> EncodeJpeg(const QImage& image, int quality) {
    const bool gray = image.format() == QImage::Format_Grayscale8;
    const QImage pixels = gray ? image : image.convertToFormat(QImage::Format_RGBX8888);
    jpeg_compress_struct encoder{};
    TJpegFailure failure;
    UseFailure(reinterpret_cast<j_common_ptr>(&encoder), failure);
    jpeg_create_compress(&encoder);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&encoder);
        std::free(out);
        return std::nullopt;
    }
    jpeg_mem_dest(&encoder, &out, &size);
    encoder.image_width = static_cast<JDIMENSION>(pixels.width());
    encoder.image_height = static_cast<JDIMENSION>(pixels.height());
    encoder.input_components = gray ? 1 : 4;
    encoder.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_RGBX;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    encoder.optimize_coding = TRUE;
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.constScanLine(static_cast<int>(encoder.next_scanline)));
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    std::string encoded(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&encoder);
    std::free(out);
    return encoded;
}

}  // namespace pictures
