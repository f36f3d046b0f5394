#pragma once
// zlib and WOFF2 encoders for the tests' WOFF and WOFF2 files. Empty bytes
// when the encoder fails.
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
