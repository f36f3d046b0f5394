#include "platform/font_container.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include <woff2/decode.h>
#include <libdeflate.h>

namespace {

Failure failure(int code, std::string detail)
{
    return Failure{code, {}, std::move(detail)};
}

void putU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    out[at] = std::uint8_t(v >> 8);
    out[at + 1] = std::uint8_t(v);
}

void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    putU16(out, at, v >> 16);
    putU16(out, at + 2, v & 0xFFFF);
}

// Inflates the zlib stream `in` into exactly `out`; the problem otherwise.
// libdeflate, not zlib: it inflates a WOFF font about twice as fast, and each
// table's origLength gives the whole output's size up front as it needs.
std::optional<std::string> inflateInto(libdeflate_decompressor* inflater, std::span<const std::uint8_t> in,
                                       std::span<std::uint8_t> out)
{
    switch (libdeflate_zlib_decompress(inflater, in.data(), in.size(), out.data(), out.size(), nullptr)) {
    case LIBDEFLATE_SUCCESS:
        return std::nullopt;
    case LIBDEFLATE_SHORT_OUTPUT:
        return "inflates to fewer bytes than its origLength";
    case LIBDEFLATE_INSUFFICIENT_SPACE:
        return "inflates past its origLength";
    default:
        return "its zlib data is damaged";
    }
}

std::string tagText(std::uint32_t tag)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += char(tag >> shift & 0xFF);
    return "'" + text + "'";
}

// The offset table of an sfnt of n tables: searchRange and the rest as the
// format defines them.
void putOffsetTable(std::vector<std::uint8_t>& out, std::uint32_t flavor, std::size_t n)
{
    int selector = 0;
    while ((std::size_t(2) << selector) <= n)
        ++selector;
    const std::uint32_t range = 16u << selector;
    putU32(out, 0, flavor);
    putU16(out, 4, std::uint32_t(n));
    putU16(out, 6, range);
    putU16(out, 8, std::uint32_t(selector));
    putU16(out, 10, std::uint32_t(16 * n) - range);
}

std::variant<DecodedFont, Failure> decodeWoff(const std::vector<std::uint8_t>& file)
{
    auto read = ReadWoffDirectory(file);
    if (const Failure* bad = std::get_if<Failure>(&read))
        return *bad;
    const WoffDirectory& dir = std::get<WoffDirectory>(read);
    DecodedFont font{FileKind::TrueType, std::vector<std::uint8_t>(dir.sfntSize)};
    std::vector<std::uint8_t>& out = font.bytes;
    putOffsetTable(out, dir.flavor, dir.tables.size());

    // The directory keeps WOFF's order (by tag); the data goes in file order.
    std::vector<std::size_t> byOffset(dir.tables.size());
    for (std::size_t i = 0; i < byOffset.size(); ++i)
        byOffset[i] = i;
    std::stable_sort(byOffset.begin(), byOffset.end(),
                     [&](std::size_t a, std::size_t b) { return dir.tables[a].offset < dir.tables[b].offset; });
    const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    if (!inflater)
        return failure(BadWoff, "there is no memory to inflate its tables");
    std::size_t at = 12 + 16 * dir.tables.size();
    for (const std::size_t i : byOffset) {
        const WoffTable& t = dir.tables[i];
        const std::size_t entry = 12 + 16 * i;
        putU32(out, entry, t.tag);
        putU32(out, entry + 4, t.origChecksum);
        putU32(out, entry + 8, std::uint32_t(at));
        putU32(out, entry + 12, t.origLength);
        const auto data = std::span(file).subspan(t.offset, t.compLength);
        const auto target = std::span(out).subspan(at, t.origLength);
        if (t.compLength == t.origLength)
            std::copy(data.begin(), data.end(), target.begin());
        else if (const auto problem = inflateInto(inflater.get(), data, target))
            return failure(BadWoff, "its table " + tagText(t.tag) + " " + *problem);
        at += (std::size_t(t.origLength) + 3) & ~std::size_t(3);
    }
    return font;
}

// The decoder's output, growing as it writes and never past `cap`.
class CappedOut : public woff2::WOFF2Out {
public:
    // The header's totalSfntSize, already held to what the file's size can
    // back, is reserved at once: the font is written without moving it.
    explicit CappedOut(std::size_t cap) : cap_(cap) { bytes.reserve(cap); }
    bool Write(const void* buf, std::size_t n) override { return Write(buf, bytes.size(), n); }
    bool Write(const void* buf, std::size_t offset, std::size_t n) override
    {
        if (offset > cap_ || n > cap_ - offset)
            return false;
        const auto* from = static_cast<const std::uint8_t*>(buf);
        if (offset == bytes.size()) { // nearly every write appends
            bytes.insert(bytes.end(), from, from + n);
            return true;
        }
        if (bytes.size() < offset + n)
            bytes.resize(offset + n);
        std::copy_n(from, n, bytes.begin() + std::ptrdiff_t(offset));
        return true;
    }
    std::size_t Size() override { return bytes.size(); }

    std::vector<std::uint8_t> bytes;

private:
    std::size_t cap_;
};

std::variant<DecodedFont, Failure> decodeWoff2(const std::vector<std::uint8_t>& file)
{
    const auto header = ReadWoff2Header(file);
    if (const Failure* bad = std::get_if<Failure>(&header))
        return *bad;
    CappedOut out(std::get<std::size_t>(header));
    if (!woff2::ConvertWOFF2ToTTF(file.data(), file.size(), &out))
        return failure(BadWoff2, "the decoder refused it (damaged data, or tables that do not add up to "
                                 "its header's totalSfntSize)");
    // The decoded font says itself whether it is a collection.
    const FileKind kind = RecogniseFile(out.bytes);
    return DecodedFont{kind, std::move(out.bytes)};
}

} // namespace

std::variant<DecodedFont, Failure> DecodeWebFont(FileKind kind, std::vector<std::uint8_t> file)
{
    if (kind == FileKind::Woff)
        return decodeWoff(file);
    if (kind == FileKind::Woff2)
        return decodeWoff2(file);
    return DecodedFont{kind, std::move(file)};
}
