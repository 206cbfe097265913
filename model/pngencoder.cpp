#include "model/pngencoder.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>

#include <csetjmp>
#include <png.h>

namespace PngEncoder {
namespace {

struct Sink {
    QIODevice* device;
    bool failed;
};

extern "C" void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    if (!sink->failed &&
        sink->device->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length))
        sink->failed = true;
}

extern "C" void flushBytes(png_structp) {}

extern "C" void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

extern "C" void onWarning(png_structp, png_const_charp) {}

bool everyPixelOpaque(const QImage& argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// Rows as libpng takes them: 32-bit pixels (0xAARRGGBB in native order),
// with or without a meaningful alpha byte.
QImage rowsOf(const QImage& image, bool& withAlpha) {
    QImage rows = image;
    if (!image.hasAlphaChannel()) {
        if (image.format() != QImage::Format_RGB32)
            rows = image.convertToFormat(QImage::Format_RGB32);
        withAlpha = false;
        return rows;
    }
    if (image.format() != QImage::Format_ARGB32)
        rows = image.convertToFormat(QImage::Format_ARGB32);
    withAlpha = !everyPixelOpaque(rows);
    return rows;
}

// The encoding proper. Kept free of objects with destructors: libpng leaves
// it by a long jump on errors.
bool encodeRows(const QImage& rows, bool withAlpha, int dotsPerMeterX, int dotsPerMeterY, Sink* sink) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, sink, writeBytes, flushBytes);
    // Measured on an 800 x 600 stereonet (bench_render BM_PictureAndPng):
    // level 1 without filtering beats every filter and level, in time and,
    // on such pictures, in size.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_buffer_size(png, 1 << 16);
    png_set_IHDR(png, info, png_uint_32(rows.width()), png_uint_32(rows.height()), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (dotsPerMeterX > 0 && dotsPerMeterY > 0)
        png_set_pHYs(png, info, png_uint_32(dotsPerMeterX), png_uint_32(dotsPerMeterY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // In memory B, G, R, A.
    png_set_bgr(png);
    if (!withAlpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
    // In memory A, R, G, B.
    if (withAlpha)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    for (int y = 0; y < rows.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(rows.constScanLine(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return !sink->failed;
}

} // namespace

bool write(const QImage& image, QIODevice* device) {
    if (image.isNull() || !device)
        return false;
    bool withAlpha = false;
    const QImage rows = rowsOf(image, withAlpha);
    Sink sink{device, false};
    return encodeRows(rows, withAlpha, image.dotsPerMeterX(), image.dotsPerMeterY(), &sink);
}

QByteArray encode(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!write(image, &buffer))
        return QByteArray();
    return png;
}

} // namespace PngEncoder
