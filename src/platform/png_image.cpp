#include "platform/png_image.h"

#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "sfnt/reader.h"

namespace {

// An ancillary chunk libpng keeps (a palette's transparency, a gamma, a
// physical size): a glyph's are a few hundred bytes; a chunk that would
// inflate or allocate past this is a bomb and ends the decode.
constexpr png_alloc_size_t MaxPngChunkBytes = 1 << 20;

// Chunks a glyph's picture does not use, skipped unread: text (zTXt and
// iTXt inflate) and colour profiles, which are not applied.
constexpr png_byte SkippedChunks[] = "iCCP\0iTXt\0tEXt\0zTXt";

// What libpng reads from, through the checked cursor, and why it stopped.
struct PngSource {
    ByteReader reader;
    std::string problem;
};

[[noreturn]] void fail(png_structp png, png_const_charp message)
{
    static_cast<PngSource*>(png_get_error_ptr(png))->problem = message;
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, std::size_t count)
{
    ByteReader& reader = static_cast<PngSource*>(png_get_io_ptr(png))->reader;
    const std::span<const std::uint8_t> bytes = reader.bytes(count);
    if (!reader.ok())
        png_error(png, "the image is cut short");
    std::memcpy(out, bytes.data(), count);
}

// libpng reports an error by jumping back here out of its own frames, so
// these two hold no object with a destructor; each says whether it ended
// without one.
bool readHeader(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

// A palette image's colours, tRNS applied and premultiplied; an index past
// the palette is opaque black, as libpng's own expansion makes it.
void paletteColours(png_structp png, png_infop info, QRgb (&colours)[256])
{
    png_colorp palette = nullptr;
    png_bytep alpha = nullptr;
    int count = 0, alphas = 0;
    png_get_PLTE(png, info, &palette, &count);
    png_get_tRNS(png, info, &alpha, &alphas, nullptr);
    for (int i = 0; i < 256; ++i) {
        const png_color c = i < count ? palette[i] : png_color{0, 0, 0};
        colours[i] = qPremultiply(qRgba(c.red, c.green, c.blue, i < alphas ? alpha[i] : 255));
    }
}

// Every row as the bytes of a QRgb. A palette image's rows are read as
// indices into `indexRow` (width bytes; nullptr for the other images) and
// mapped through its premultiplied colours, the cheapest way for the
// palette PNGs of emoji fonts; the others are expanded by libpng to 8-bit
// BGRA, premultiplied afterwards.
bool readRows(png_structp png, png_infop info, QImage& image, std::uint8_t* indexRow)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    QRgb colours[256];
    if (indexRow) {
        png_set_packing(png); // an index to a byte
        paletteColours(png, info, colours);
    } else {
        png_set_expand(png); // palette and grey to 8-bit RGB, tRNS to alpha
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(png); // B, G, R, A
#else
        png_set_swap_alpha(png); // A, R, G, B
#endif
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int width = image.width(), height = image.height();
    if (png_get_rowbytes(png, info) != std::size_t(indexRow ? width : 4 * width))
        png_error(png, "the image's rows are not the size its header gives");
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            png_read_row(png, indexRow ? indexRow : reinterpret_cast<png_bytep>(row), nullptr);
            for (int x = 0; indexRow && x < width; ++x)
                row[x] = colours[indexRow[x]];
        }
    return true;
}

void premultiply(QImage& image)
{
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(row[x]) != 255)
                row[x] = qPremultiply(row[x]);
    }
}

// Why a PNG of this size is refused before decoding; empty when it is not.
std::string sizeProblem(png_uint_32 width, png_uint_32 height, int maxSide, int expectedWidth, int expectedHeight)
{
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width > png_uint_32(maxSide) || height > png_uint_32(maxSide))
        return "strike image of " + size + " is over the limit of " + std::to_string(maxSide);
    if (expectedWidth > 0 && (width != png_uint_32(expectedWidth) || height != png_uint_32(expectedHeight)))
        return "strike image of " + size + " differs from its metrics' " + std::to_string(expectedWidth) + " x "
             + std::to_string(expectedHeight);
    return {};
}

// The pixels of a PNG whose header has been read and its size accepted.
void decodePixels(png_structp png, png_infop info, const PngSource& source, PngImage& out)
{
    out.image = QImage(int(png_get_image_width(png, info)), int(png_get_image_height(png, info)),
                       QImage::Format_ARGB32_Premultiplied);
    // Interlaced rows come in passes, each over the last: only whole rows are mapped.
    const bool indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE
                      && png_get_interlace_type(png, info) == PNG_INTERLACE_NONE;
    std::vector<std::uint8_t> indexRow(indexed ? std::size_t(out.image.width()) : 0);
    if (out.image.isNull() || !readRows(png, info, out.image, indexed ? indexRow.data() : nullptr)) {
        out.image = QImage();
        out.problem = "strike image could not be decoded: " + source.problem;
    } else if (!indexed) {
        premultiply(out.image);
    }
}

} // namespace

PngImage DecodePng(std::span<const std::uint8_t> bytes, int maxSide, int expectedWidth, int expectedHeight)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return {{}, "strike image is not a readable png image"};
    PngSource source{ByteReader(bytes), {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, fail, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return {{}, "libpng could not be started"};
    }
    png_set_read_fn(png, &source, readBytes);
    png_set_chunk_malloc_max(png, MaxPngChunkBytes);
    // Each chunk's CRC already covers the compressed image data: zlib's own
    // sum over the inflated bytes would check the same bytes again.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, SkippedChunks, int(sizeof SkippedChunks / 5));
    PngImage out;
    if (!readHeader(png, info))
        out.problem = "strike image is not a readable png image: " + source.problem;
    else
        out.problem = sizeProblem(png_get_image_width(png, info), png_get_image_height(png, info), maxSide,
                                  expectedWidth, expectedHeight);
    if (out.problem.empty())
        decodePixels(png, info, source, out);
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
}
