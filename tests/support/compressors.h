#pragma once
// zlib and WOFF2 encoders for the tests' WOFF and WOFF2 files. Empty bytes
// when the encoder fails.
#include <algorithm>

#include <woff2/encode.h>
#include <zlib.h>

#include "support/ttf_builder.h"

namespace ttf {

inline ByteVector deflated(const ByteVector& data)
{
    uLongf size = compressBound(uLong(data.size()));
    ByteVector out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), 9) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

// `count` zero bytes deflated (with gzip's header when `gzip`) a piece at a
// time, never all of them in memory.
inline ByteVector deflatedZeros(std::size_t count, bool gzip = false)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, gzip ? 16 + MAX_WBITS : MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    const ByteVector zeros(1 << 16, 0);
    ByteVector out, piece(1 << 16);
    for (std::size_t left = count;;) {
        const std::size_t now = std::min(left, zeros.size());
        left -= now;
        z.next_in = const_cast<Bytef*>(zeros.data());
        z.avail_in = uInt(now);
        do {
            z.next_out = piece.data();
            z.avail_out = uInt(piece.size());
            deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            out.insert(out.end(), piece.data(), z.next_out);
        } while (z.avail_out == 0);
        if (left == 0)
            break;
    }
    deflateEnd(&z);
    return out;
}

inline ByteVector woff2Of(const ByteVector& font)
{
    std::size_t size = woff2::MaxWOFF2CompressedSize(font.data(), font.size());
    ByteVector out(size);
    woff2::WOFF2Params params;
    params.brotli_quality = 5;
    if (!woff2::ConvertTTFToWOFF2(font.data(), font.size(), out.data(), &size, params))
        return {};
    out.resize(size);
    return out;
}

} // namespace ttf
