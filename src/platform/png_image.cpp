#include "platform/png_image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <png.h>
#include <libdeflate.h>

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


// The common strike PNG (8 bits a sample, not interlaced, no unknown
// critical chunk) is decoded here rather than by libpng: libpng inflates a
// row at a time, and rows of a few hundred bytes keep zlib off its fast
// path, which needs room for a whole match in its output. Here the image
// data is inflated in one go into a buffer the size the header gives, then
// unfiltered and mapped to premultiplied pixels. Anything else, and any
// damage found on the way, is left to libpng, which decodes or refuses it
// as before: this path only ever makes the picture libpng would.

// A chunk as this path reads it: its type and its data, its CRC checked.
struct PngChunk {
    std::uint32_t type = 0;
    std::span<const std::uint8_t> data;
};

constexpr std::uint32_t chunkType(const char (&name)[5])
{
    return std::uint32_t(name[0]) << 24 | std::uint32_t(name[1]) << 16 | std::uint32_t(name[2]) << 8 | std::uint32_t(name[3]);
}

// The next chunk; nullopt when it is cut short or fails its CRC.
std::optional<PngChunk> nextChunk(ByteReader& reader)
{
    const std::uint32_t length = reader.u32();
    const std::span<const std::uint8_t> typeAndData = reader.bytes(std::size_t(length) + 4);
    const std::uint32_t crc = reader.u32();
    if (!reader.ok() || libdeflate_crc32(0, typeAndData.data(), typeAndData.size()) != crc)
        return std::nullopt;
    ByteReader type(typeAndData);
    return PngChunk{type.u32(), typeAndData.subspan(4)};
}

// What the header and the chunks before the image data give.
struct PngLayout {
    std::uint32_t width = 0, height = 0;
    int colourType = 0, channels = 0;
    QRgb colours[256] = {}; // a palette image's, premultiplied
    std::vector<std::span<const std::uint8_t>> imageData;
};

int channelsOf(int colourType)
{
    switch (colourType) {
    case 0: return 1; // grey
    case 2: return 3; // RGB
    case 3: return 1; // palette index
    case 4: return 2; // grey, alpha
    case 6: return 4; // RGBA
    default: return 0;
    }
}

// The palette with its tRNS alphas, premultiplied; an index past the
// palette is opaque black, as libpng's expansion makes it.
bool readPalette(std::span<const std::uint8_t> plte, std::span<const std::uint8_t> trns, QRgb (&colours)[256])
{
    const std::size_t count = plte.size() / 3;
    if (plte.size() % 3 != 0 || count == 0 || count > 256 || trns.size() > count)
        return false;
    for (std::size_t i = 0; i < 256; ++i) {
        const bool inPalette = i < count;
        colours[i] = qPremultiply(qRgba(inPalette ? plte[3 * i] : 0, inPalette ? plte[3 * i + 1] : 0,
                                        inPalette ? plte[3 * i + 2] : 0, i < trns.size() ? trns[i] : 255));
    }
    return true;
}

// The layout of a PNG this path decodes; nullopt for one left to libpng.
std::optional<PngLayout> readLayout(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    reader.skip(8); // the signature, checked by the caller
    const std::optional<PngChunk> header = nextChunk(reader);
    if (!header || header->type != chunkType("IHDR") || header->data.size() != 13)
        return std::nullopt;
    ByteReader h(header->data);
    PngLayout out;
    out.width = h.u32(), out.height = h.u32();
    const int depth = h.u8();
    out.colourType = h.u8();
    out.channels = channelsOf(out.colourType);
    const int compression = h.u8(), filter = h.u8(), interlace = h.u8();
    if (out.width == 0 || out.height == 0 || depth != 8 || out.channels == 0 || compression != 0 || filter != 0
        || interlace != 0)
        return std::nullopt;
    std::span<const std::uint8_t> plte, trns;
    for (std::optional<PngChunk> c; (c = nextChunk(reader));) {
        const bool critical = !(c->type & 0x20000000); // the first letter upper case
        if (c->type == chunkType("IDAT"))
            out.imageData.push_back(c->data);
        else if (!out.imageData.empty())
            break; // the image data is whole
        else if (c->type == chunkType("PLTE") && !plte.data())
            plte = c->data;
        else if (c->type == chunkType("tRNS") && !trns.data() && (plte.data() || out.colourType != 3))
            trns = c->data;
        else if (critical || c->type == chunkType("tRNS"))
            return std::nullopt; // a second palette, a transparency before it: libpng's to judge
    }
    if (out.imageData.empty())
        return std::nullopt;
    if (out.colourType == 3)
        return readPalette(plte, trns, out.colours) ? std::optional(std::move(out)) : std::nullopt;
    // A grey or RGB key colour made transparent is left to libpng.
    return trns.empty() ? std::optional(std::move(out)) : std::nullopt;
}

// The image data inflated into exactly `out`; false when it is damaged,
// shorter or longer. libdeflate inflates about twice as fast as zlib but
// wants the stream in one piece: data split over several chunks is joined.
bool inflateImageData(const std::vector<std::span<const std::uint8_t>>& chunks, std::span<std::uint8_t> out)
{
    std::vector<std::uint8_t> joined;
    std::span<const std::uint8_t> stream = chunks.front();
    if (chunks.size() > 1) {
        for (const auto& chunk : chunks)
            joined.insert(joined.end(), chunk.begin(), chunk.end());
        stream = joined;
    }
    // The zlib header, then raw deflate: the chunks' CRCs already cover these
    // bytes, so the stream's own sum is not checked again, and bytes after
    // the stream's end (allowed in a later chunk) are left alone.
    if (stream.size() < 2 || (stream[0] & 0x0F) != 8 || (stream[0] >> 4) > 7 || (stream[1] & 0x20) != 0
        || (stream[0] * 256 + stream[1]) % 31 != 0)
        return false;
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    std::size_t used = 0;
    return inflater
           && libdeflate_deflate_decompress_ex(inflater.get(), stream.data() + 2, stream.size() - 2, out.data(),
                                               out.size(), &used, nullptr)
                  == LIBDEFLATE_SUCCESS;
}

std::uint8_t paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Each row's filter undone in place; false on a filter type past 4.
bool unfilter(std::uint8_t* data, std::size_t rowBytes, std::size_t height, std::size_t pixelBytes)
{
    const std::vector<std::uint8_t> zeros(rowBytes);
    const std::uint8_t* above = zeros.data();
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = data + y * (rowBytes + 1) + 1;
        const std::uint8_t filter = row[-1];
        const std::size_t p = pixelBytes;
        switch (filter) {
        case 0: break;
        case 1: for (std::size_t x = p; x < rowBytes; ++x) row[x] += row[x - p]; break;
        case 2: for (std::size_t x = 0; x < rowBytes; ++x) row[x] += above[x]; break;
        case 3:
            for (std::size_t x = 0; x < rowBytes; ++x)
                row[x] += std::uint8_t(((x >= p ? row[x - p] : 0) + above[x]) / 2);
            break;
        case 4:
            for (std::size_t x = 0; x < std::min(p, rowBytes); ++x)
                row[x] += above[x];
            for (std::size_t x = p; x < rowBytes; ++x)
                row[x] += paeth(row[x - p], above[x], above[x - p]);
            break;
        default: return false;
        }
        above = row;
    }
    return true;
}

// One unfiltered row as premultiplied pixels.
void mapRow(const PngLayout& layout, const std::uint8_t* in, QRgb* out)
{
    const std::uint32_t width = layout.width;
    switch (layout.colourType) {
    case 3: for (std::uint32_t x = 0; x < width; ++x) out[x] = layout.colours[in[x]]; break;
    case 0: for (std::uint32_t x = 0; x < width; ++x) out[x] = qRgb(in[x], in[x], in[x]); break;
    case 2: for (std::uint32_t x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[0], in[1], in[2]); break;
    case 4:
        for (std::uint32_t x = 0; x < width; ++x, in += 2)
            out[x] = qPremultiply(qRgba(in[0], in[0], in[0], in[1]));
        break;
    case 6:
        for (std::uint32_t x = 0; x < width; ++x, in += 4)
            out[x] = qPremultiply(qRgba(in[0], in[1], in[2], in[3]));
        break;
    }
}

// The pixels of a PNG of the common kind, its size already accepted; a null image when it is left to libpng.
QImage decodeCommon(const PngLayout& layout)
{
    const std::size_t rowBytes = std::size_t(layout.width) * std::size_t(layout.channels);
    // Left uninitialised: the inflating writes every byte or fails.
    const std::size_t size = (rowBytes + 1) * layout.height;
    const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[size]);
    if (!inflateImageData(layout.imageData, {data.get(), size})
        || !unfilter(data.get(), rowBytes, layout.height, std::size_t(layout.channels)))
        return {};
    QImage image(int(layout.width), int(layout.height), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height() && !image.isNull(); ++y)
        mapRow(layout, data.get() + std::size_t(y) * (rowBytes + 1) + 1, reinterpret_cast<QRgb*>(image.scanLine(y)));
    return image;
}

} // namespace

PngImage DecodePng(std::span<const std::uint8_t> bytes, int maxSide, int expectedWidth, int expectedHeight)
{
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        return {{}, "strike image is not a readable png image"};
    if (const std::optional<PngLayout> layout = readLayout(bytes);
        layout && sizeProblem(layout->width, layout->height, maxSide, expectedWidth, expectedHeight).empty())
        if (QImage image = decodeCommon(*layout); !image.isNull())
            return {std::move(image), {}};
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
