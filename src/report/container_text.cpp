#include "report/container_text.h"

std::string FileKindText(FileKind kind)
{
    switch (kind) {
    case FileKind::OpenTypeCff:
        return "an OpenType font with CFF outlines";
    case FileKind::Empty:
        return "an empty file";
    case FileKind::Text:
        return "a text file";
    case FileKind::Png:
        return "a PNG picture";
    case FileKind::Jpeg:
        return "a JPEG picture";
    case FileKind::Gif:
        return "a GIF picture";
    case FileKind::Pdf:
        return "a PDF document";
    case FileKind::Zip:
        return "a ZIP archive";
    case FileKind::Gzip:
        return "a gzip-compressed file";
    case FileKind::PostScriptFont:
        return "a PostScript Type 1 font";
    default:
        return {};
    }
}

std::string ContainerFailureText(const Failure& failure)
{
    switch (failure.code) {
    case BadCollection:
        return "a font collection that could not be read: " + failure.detail;
    case BadWoff:
        return "a WOFF file that could not be decoded: " + failure.detail;
    case BadWoff2:
        return "a WOFF2 file that could not be decoded: " + failure.detail;
    case NoSuchFace:
        return "it has no face " + failure.detail + " (it has " + std::to_string(failure.context.GlyphIndex) + ")";
    default:
        return "the file cannot be read";
    }
}
