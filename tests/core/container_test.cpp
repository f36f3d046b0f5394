// Files told apart by their first bytes; collections and WOFF directories
// read only when their numbers add up.
#include <gtest/gtest.h>

#include "report/container_text.h"
#include "sfnt/container.h"
#include "support/container_builder.h"
#include "support/recording_sink.h"
#include "tables/loader.h"

namespace {

using ttf::ByteVector;

ByteVector bytesOf(std::string_view text)
{
    return ByteVector(text.begin(), text.end());
}

TEST(Container, FilesAreToldApartByTheirFirstBytes)
{
    const ByteVector font = ttf::buildFont(ttf::squaresFont(3));
    const struct {
        ByteVector bytes;
        FileKind kind;
    } cases[] = {
        {font, FileKind::TrueType},
        {ttf::assemble(ttf::fontTables(ttf::squaresFont(3)), 0x74727565), FileKind::TrueType}, // 'true'
        {ttf::collection({font}), FileKind::Collection},
        {ttf::woff(font), FileKind::Woff},
        {bytesOf("wOF2...."), FileKind::Woff2},
        {bytesOf(std::string_view("OTTO\0\x05", 6)), FileKind::OpenTypeCff},
        {{}, FileKind::Empty},
        {bytesOf("Fonts are\r\nfun.\n"), FileKind::Text},
        {bytesOf("\x89PNG\r\n\x1A\n"), FileKind::Png},
        {bytesOf("\xFF\xD8\xFF\xE0"), FileKind::Jpeg},
        {bytesOf("GIF89a"), FileKind::Gif},
        {bytesOf("%PDF-1.7"), FileKind::Pdf},
        {bytesOf("PK\x03\x04"), FileKind::Zip},
        {bytesOf("\x1F\x8B\x08"), FileKind::Gzip},
        {bytesOf("%!PS-AdobeFont-1.0: Nimbus"), FileKind::PostScriptFont},
        {bytesOf("\x80\x01\x10\x00"), FileKind::PostScriptFont},
        {bytesOf("\x01\x02\x03\x04\x00"), FileKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecogniseFile(c.bytes), c.kind) << std::string(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(FileKindText(FileKind::Text), "a text file");
    EXPECT_EQ(FileKindText(FileKind::OpenTypeCff), "an OpenType font with CFF outlines");
    EXPECT_EQ(FileKindText(FileKind::TrueType), "");
}

TEST(Container, EachFaceOfACollectionLoadsFromItsOwnDirectory)
{
    const ByteVector three = ttf::buildFont(ttf::squaresFont(3));
    const ByteVector five = ttf::buildFont(ttf::squaresFont(5));
    for (const std::uint16_t version : {1, 2}) {
        const ByteVector ttc = ttf::collection({three, five}, version);
        const auto faces = ReadCollectionFaces(ttc);
        ASSERT_TRUE(std::holds_alternative<std::vector<std::uint32_t>>(faces)) << version;
        const auto& offsets = std::get<std::vector<std::uint32_t>>(faces);
        ASSERT_EQ(offsets.size(), 2u);
        for (std::size_t face = 0; face < 2; ++face) {
            FontState font;
            RecordingSink sink;
            ASSERT_EQ(LoadFont(ttc, font, sink, offsets[face]), LoadResult::Loaded) << face;
            EXPECT_EQ(font.NumGlyphs, face == 0 ? 3 : 5);
            EXPECT_TRUE(sink.texts.empty());
        }
    }
}

TEST(Container, AWoffDirectoryOfStoredTablesRebuildsTheFontsSize)
{
    const ByteVector font = ttf::buildFont(ttf::squaresFont(4));
    const auto dir = ReadWoffDirectory(ttf::woff(font));
    ASSERT_TRUE(std::holds_alternative<WoffDirectory>(dir));
    const WoffDirectory& d = std::get<WoffDirectory>(dir);
    EXPECT_EQ(d.flavor, 0x00010000u);
    EXPECT_EQ(d.tables.size(), ttf::getU16(font, 4));
    EXPECT_EQ(d.sfntSize, font.size());
}

// The failure a container's reader gives, or none.
std::optional<Failure> readContainer(const ByteVector& bytes)
{
    const auto failed = [](const auto& read) -> std::optional<Failure> {
        if (const Failure* f = std::get_if<Failure>(&read))
            return *f;
        return std::nullopt;
    };
    switch (RecogniseFile(bytes)) {
    case FileKind::Collection:
        return failed(ReadCollectionFaces(bytes));
    case FileKind::Woff:
        return failed(ReadWoffDirectory(bytes));
    case FileKind::Woff2:
        return failed(ReadWoff2Header(bytes));
    default:
        return Failure{};
    }
}

template <typename Patch>
ByteVector patched(ByteVector bytes, Patch patch)
{
    patch(bytes);
    return bytes;
}

TEST(Container, MalformedContainersAreRefusedWithTheirSentence)
{
    using ttf::putU32;
    const ByteVector ttc = ttf::collection({ttf::buildFont(ttf::squaresFont(3)), ttf::buildFont(ttf::squaresFont(5))});
    const ByteVector w = ttf::woff(ttf::buildFont(ttf::squaresFont(3))); // cmap, glyf, head, ...
    const std::size_t cmap = ttf::woffEntryAt(0), glyf = ttf::woffEntryAt(1);
    const auto size = std::uint32_t(w.size());
    ByteVector woff2 = bytesOf(std::string_view("wOF2\0\1\0\0", 8));
    woff2.resize(48);
    putU32(woff2, 8, 48);

    const std::string ttcText = "a font collection that could not be read: ", woffText = "a WOFF file that could not be decoded: ",
                      woff2Text = "a WOFF2 file that could not be decoded: ";
    const struct {
        const char* name;
        ByteVector bytes;
        std::string sentence;
    } cases[] = {
        {"ttc cut in its header", ByteVector(ttc.begin(), ttc.begin() + 10), ttcText + "the file ends inside its header"},
        {"ttc of version 3", patched(ttc, [](ByteVector& b) { ttf::putU16(b, 4, 3); }), ttcText + "its version 3 is neither 1 nor 2"},
        {"ttc of no faces", patched(ttc, [](ByteVector& b) { putU32(b, 8, 0); }), ttcText + "it holds no faces"},
        {"ttc claiming 65 535 faces", patched(ttc, [](ByteVector& b) { putU32(b, 8, 65535); }),
         ttcText + "it claims 65535 faces, more than the file holds"},
        {"ttc claiming 4 billion faces", patched(ttc, [](ByteVector& b) { putU32(b, 8, 0xFFFFFFFF); }),
         ttcText + "it claims 4294967295 faces, more than the file holds"},
        {"face offset past the end", patched(ttc, [](ByteVector& b) { putU32(b, 16, std::uint32_t(b.size() + 100)); }),
         ttcText + "face 1's table directory runs past the end of the file"},
        {"face directory cut by the end", patched(ttc, [](ByteVector& b) { putU32(b, 16, std::uint32_t(b.size() - 8)); }),
         ttcText + "face 1's table directory runs past the end of the file"},
        {"face inside the header", patched(ttc, [](ByteVector& b) { putU32(b, 12, 0); }),
         ttcText + "face 0 starts inside the collection header"},
        {"faces sharing a directory", patched(ttc, [](ByteVector& b) { putU32(b, 16, ttf::getU32(b, 12)); }),
         ttcText + "two faces' table directories overlap"},
        {"faces overlapping", patched(ttc, [](ByteVector& b) { putU32(b, 16, ttf::getU32(b, 12) + 16); }),
         ttcText + "two faces' table directories overlap"},
        {"woff cut in its header", ByteVector(w.begin(), w.begin() + 30), woffText + "the file ends inside its header"},
        {"woff cut in its directory", ByteVector(w.begin(), w.begin() + 70), woffText + "the file ends inside its table directory"},
        {"woff longer than the file", patched(w, [&](ByteVector& b) { putU32(b, 8, size + 1); }),
         woffText + "its header gives a length past the end of the file"},
        {"woff expanding to 4 GB", patched(w, [](ByteVector& b) { putU32(b, 16, 0xFFFFFFFF); }),
         woffText + "it would expand to 4294967295 bytes, more than 256 MB"},
        {"table claiming 4 GB", patched(w, [&](ByteVector& b) { putU32(b, cmap + 12, 0xFFFFFFFF); }),
         woffText + "its table 'cmap' claims 4294967295 bytes, more than its data can hold"},
        {"compLength above origLength", patched(w, [&](ByteVector& b) { putU32(b, glyf + 8, ttf::getU32(b, glyf + 12) + 4); }),
         woffText + "its table 'glyf' is longer compressed than whole"},
        {"table running past the end", patched(w, [&](ByteVector& b) { putU32(b, glyf + 4, size - 2); }),
         woffText + "its table 'glyf' lies outside the file's data"},
        {"table inside the directory", patched(w, [&](ByteVector& b) { putU32(b, glyf + 4, 40); }),
         woffText + "its table 'glyf' lies outside the file's data"},
        {"tables overlapping", patched(w, [&](ByteVector& b) { putU32(b, glyf + 4, ttf::getU32(b, cmap + 4) + 4); }),
         woffText + "its tables 'cmap' and 'glyf' overlap"},
        {"tables beyond totalSfntSize", patched(w, [](ByteVector& b) { putU32(b, 16, ttf::getU32(b, 16) - 4); }),
         woffText + "its tables add up to more than its header's totalSfntSize"},
        {"woff2 cut in its header", ByteVector(woff2.begin(), woff2.begin() + 20), woff2Text + "the file ends inside its header"},
        {"woff2 longer than the file", patched(woff2, [](ByteVector& b) { putU32(b, 8, 49); }),
         woff2Text + "its header gives a length past the end of the file"},
        {"woff2 data past the end", patched(woff2, [](ByteVector& b) { putU32(b, 20, 1); }),
         woff2Text + "its compressed data runs past the end of the file"},
        {"woff2 expanding past 256 MB", patched(woff2, [](ByteVector& b) { putU32(b, 16, (256u << 20) + 1); }),
         woff2Text + "it would expand to 268435457 bytes, more than 256 MB"},
    };
    for (const auto& c : cases) {
        const std::optional<Failure> failure = readContainer(c.bytes);
        ASSERT_TRUE(failure) << c.name;
        EXPECT_EQ(ContainerFailureText(*failure), c.sentence) << c.name;
    }
}

} // namespace
