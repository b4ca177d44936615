#pragma once
// The MIB names list filter, kept apart from the file handling around it so
// that any line source can be run through it.

#include "common/text_lines.h"

namespace vsu {

// Copies the lines of in to out, dropping empty lines and every line that names
// QUILLBANK.MIB or FERROWIN.MIB (any letter case, anywhere in the line), then
// writes "Ferrowin.mib" and an empty line. out is left open.
void WriteNamesList(LineReader& in, LineWriter& out);

}  // namespace vsu
