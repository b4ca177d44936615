#pragma once
// Text helpers with the program's rules: trimming removes spaces only, case
// conversion is plain ASCII, prefixes compare from the first character.

#include <string>
#include <string_view>

namespace vsu {

std::string TrimSpaces(std::string_view text);
std::string UpperCase(std::string_view text);
// UpperCase into a buffer the caller reuses, for loops over many lines.
void UpperCaseInto(std::string_view text, std::string& out);
std::string LowerCase(std::string_view text);
// The first n characters (all of the text when it is shorter).
std::string Left(std::string_view text, std::size_t n);
// Removes one trailing "\" if there is one.
std::string DropOneTrailingBackslash(std::string text);
bool StartsWith(std::string_view text, std::string_view prefix);
// Case-insensitive containment, as the process walk compares.
bool ContainsIgnoringCase(std::string_view text, std::string_view part);

}  // namespace vsu
