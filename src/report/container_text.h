#pragma once
#include <string>

#include "sfnt/container.h"

// What a file that is not a font is: "a text file", "a PNG picture" ...;
// "" for the font kinds and a file of no known kind.
std::string FileKindText(FileKind kind);

// Why a container could not be opened, for the status bar: "a WOFF file
// that could not be decoded: its table 'glyf' inflates past its origLength".
std::string ContainerFailureText(const Failure& failure);
