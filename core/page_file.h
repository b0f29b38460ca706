#pragma once

#include <stdexcept>
#include <string>

#include "core/page_description.h"
#include "core/page_generator.h"

namespace core {

// what() is the message the user sees: "Cannot create file <name>" or
// "Stream write error".
class TPageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// FileBaseName plus ".html" or ".htm", nothing else.
std::string PageFileName(const TPageDescription& page);

// Writes every line followed by CR LF. The old file is replaced atomically:
// on any failure it stays exactly as it was. The name is Windows-1252 bytes.
void SavePageLines(const std::string& fileName, const TLineList& lines);

}  // namespace core
