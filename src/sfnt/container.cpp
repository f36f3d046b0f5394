#include "sfnt/container.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "sfnt/reader.h"

namespace {

constexpr std::uint32_t tagOf(std::string_view t)
{
    return std::uint32_t(std::uint8_t(t[0])) << 24 | std::uint32_t(std::uint8_t(t[1])) << 16
         | std::uint32_t(std::uint8_t(t[2])) << 8 | std::uint32_t(std::uint8_t(t[3]));
}

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                                                        [](char c, std::uint8_t b) { return std::uint8_t(c) == b; });
}

// Text as far as the first 512 bytes show: no control characters other than
// tab, line ends and form feed (bytes above 127 are taken as UTF-8 or Latin-1).
bool looksLikeText(std::span<const std::uint8_t> bytes)
{
    const auto head = bytes.first(std::min<std::size_t>(bytes.size(), 512));
    return std::all_of(head.begin(), head.end(), [](std::uint8_t b) {
        return b >= 32 || b == '\t' || b == '\n' || b == '\r' || b == '\f';
    });
}

Failure failure(int code, std::string detail)
{
    return Failure{code, {}, std::move(detail)};
}

constexpr std::size_t OffsetTableSize = 12, DirectoryEntrySize = 16;

// The end of the offset table and directory at `at`; 0 when they pass the end.
std::size_t directoryEnd(std::span<const std::uint8_t> bytes, std::uint32_t at)
{
    ByteReader r(bytes);
    r.seek(at);
    r.skip(4);
    const std::size_t tables = r.u16();
    const std::size_t end = std::size_t(at) + OffsetTableSize + DirectoryEntrySize * tables;
    return r.ok() && end <= bytes.size() ? end : 0;
}

} // namespace

FileKind RecogniseFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        return FileKind::Empty;
    ByteReader r(bytes);
    switch (r.u32()) {
    case 0x00010000:
    case tagOf("true"):
        return FileKind::TrueType;
    case tagOf("ttcf"):
        return FileKind::Collection;
    case tagOf("wOFF"):
        return FileKind::Woff;
    case tagOf("wOF2"):
        return FileKind::Woff2;
    case tagOf("OTTO"):
        return FileKind::OpenTypeCff;
    }
    if (startsWith(bytes, "\x89PNG"))
        return FileKind::Png;
    if (startsWith(bytes, "\xFF\xD8\xFF"))
        return FileKind::Jpeg;
    if (startsWith(bytes, "GIF8"))
        return FileKind::Gif;
    if (startsWith(bytes, "%PDF"))
        return FileKind::Pdf;
    if (startsWith(bytes, "PK\x03\x04"))
        return FileKind::Zip;
    if (startsWith(bytes, "\x1F\x8B"))
        return FileKind::Gzip;
    if (startsWith(bytes, "%!PS-AdobeFont") || startsWith(bytes, "%!FontType1") || startsWith(bytes, "\x80\x01"))
        return FileKind::PostScriptFont;
    return looksLikeText(bytes) ? FileKind::Text : FileKind::Unknown;
}

std::variant<std::vector<std::uint32_t>, Failure> ReadCollectionFaces(std::span<const std::uint8_t> bytes)
{
    ByteReader r(bytes);
    r.skip(4); // 'ttcf'
    const int major = r.u16();
    r.skip(2); // minor version
    const std::uint32_t count = r.u32();
    if (!r.ok())
        return failure(BadCollection, "the file ends inside its header");
    if (major != 1 && major != 2)
        return failure(BadCollection, "its version " + std::to_string(major) + " is neither 1 nor 2");
    if (count == 0)
        return failure(BadCollection, "it holds no faces");
    if (!r.canRead(4 * std::size_t(count)))
        return failure(BadCollection, "it claims " + std::to_string(count) + " faces, more than the file holds");
    std::vector<std::uint32_t> offsets(count);
    for (std::uint32_t& at : offsets)
        at = r.u32();
    const std::size_t headerEnd = r.pos();

    // Faces share tables, never their directories.
    std::vector<std::pair<std::uint32_t, std::size_t>> spans; // start, end
    for (std::size_t face = 0; face < offsets.size(); ++face) {
        const std::size_t end = directoryEnd(bytes, offsets[face]);
        if (end == 0)
            return failure(BadCollection, "face " + std::to_string(face) + "'s table directory runs past the end of the file");
        if (offsets[face] < headerEnd)
            return failure(BadCollection, "face " + std::to_string(face) + " starts inside the collection header");
        spans.emplace_back(offsets[face], end);
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second)
            return failure(BadCollection, "two faces' table directories overlap");
    return offsets;
}

namespace {

constexpr std::size_t WoffHeaderSize = 44, WoffEntrySize = 20;
// zlib's deflate expands nothing by more than 1032 to 1; a table claiming
// more than that of its compressed bytes cannot be true.
constexpr std::uint64_t MaxInflateRatio = 1032;

std::size_t padded(std::size_t n)
{
    return (n + 3) & ~std::size_t(3);
}

std::string tagText(std::uint32_t tag)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(tag >> shift & 0xFF);
        text += c >= 32 && c < 127 ? c : '?';
    }
    return "'" + text + "'";
}

std::optional<std::string> woffTableProblem(const WoffTable& t, std::size_t fileSize, std::size_t directoryEnd)
{
    const std::string name = "its table " + tagText(t.tag);
    if (t.compLength > t.origLength)
        return name + " is longer compressed than whole";
    if (t.offset < directoryEnd || t.compLength > fileSize || t.offset > fileSize - t.compLength)
        return name + " lies outside the file's data";
    if (t.compLength < t.origLength && t.origLength > MaxInflateRatio * t.compLength + 64)
        return name + " claims " + std::to_string(t.origLength) + " bytes, more than its data can hold";
    return std::nullopt;
}

std::string expansionProblem(std::size_t decodedSize)
{
    return "it would expand to " + std::to_string(decodedSize) + " bytes, more than " + std::to_string(MaxExpansion)
           + " times its own size";
}

} // namespace

std::variant<WoffDirectory, Failure> ReadWoffDirectory(std::span<const std::uint8_t> bytes)
{
    ByteReader r(bytes);
    WoffDirectory dir;
    r.skip(4); // 'wOFF'
    dir.flavor = r.u32();
    const std::uint32_t length = r.u32();
    const std::size_t numTables = r.u16();
    r.skip(2); // reserved
    const std::uint32_t totalSfntSize = r.u32();
    r.seek(WoffHeaderSize);
    if (!r.ok())
        return failure(BadWoff, "the file ends inside its header");
    if (!r.canRead(WoffEntrySize * numTables))
        return failure(BadWoff, "the file ends inside its table directory");
    if (length > bytes.size())
        return failure(BadWoff, "its header gives a length past the end of the file");
    if (totalSfntSize > MaxDecodedFontSize)
        return failure(BadWoff, "it would expand to " + std::to_string(totalSfntSize) + " bytes, more than 256 MB");
    dir.tables.resize(numTables);
    for (WoffTable& t : dir.tables)
        t = {r.u32(), r.u32(), r.u32(), r.u32(), r.u32()};

    dir.sfntSize = OffsetTableSize + DirectoryEntrySize * numTables;
    for (const WoffTable& t : dir.tables) {
        if (const auto problem = woffTableProblem(t, bytes.size(), r.pos()))
            return failure(BadWoff, *problem);
        dir.sfntSize += padded(t.origLength);
    }
    if (dir.sfntSize > totalSfntSize)
        return failure(BadWoff, "its tables add up to more than its header's totalSfntSize");
    if (dir.sfntSize > MaxExpansion * bytes.size())
        return failure(BadWoff, expansionProblem(dir.sfntSize));
    std::vector<WoffTable> byOffset = dir.tables;
    std::sort(byOffset.begin(), byOffset.end(), [](const WoffTable& a, const WoffTable& b) { return a.offset < b.offset; });
    for (std::size_t i = 1; i < byOffset.size(); ++i)
        if (byOffset[i].offset < std::size_t(byOffset[i - 1].offset) + byOffset[i - 1].compLength)
            return failure(BadWoff, "its tables " + tagText(byOffset[i - 1].tag) + " and " + tagText(byOffset[i].tag)
                                        + " overlap");
    return dir;
}

std::variant<std::size_t, Failure> ReadWoff2Header(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t Woff2HeaderSize = 48;
    ByteReader r(bytes);
    r.skip(8); // 'wOF2', flavor
    const std::uint32_t length = r.u32();
    r.skip(4); // numTables, reserved
    const std::uint32_t totalSfntSize = r.u32();
    const std::uint32_t totalCompressedSize = r.u32();
    r.seek(Woff2HeaderSize);
    if (!r.ok())
        return failure(BadWoff2, "the file ends inside its header");
    if (length > bytes.size())
        return failure(BadWoff2, "its header gives a length past the end of the file");
    if (totalCompressedSize > bytes.size() - Woff2HeaderSize)
        return failure(BadWoff2, "its compressed data runs past the end of the file");
    if (totalSfntSize > MaxDecodedFontSize)
        return failure(BadWoff2, "it would expand to " + std::to_string(totalSfntSize) + " bytes, more than 256 MB");
    if (totalSfntSize > MaxExpansion * bytes.size())
        return failure(BadWoff2, expansionProblem(totalSfntSize));
    return std::size_t(totalSfntSize);
}
