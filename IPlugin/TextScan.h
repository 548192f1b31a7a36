// Locale-free reading of numbers and words from the front of a typed text.
#pragma once

#include <string_view>

namespace plugkit
{

// Each reader consumes what it reads from the front of `rest` and, when it fails, leaves `rest` as it
// was. Any thread; none allocates.

// Skips blanks and tabs.
void SkipBlanks(std::string_view& rest);
// Blanks, then a finite decimal number with an optional sign ("+7.25", "-3", "1e3", ".5").
bool ReadNumber(std::string_view& rest, double& value);
// Blanks, then `word` in any ASCII letter case.
bool ReadWord(std::string_view& rest, std::string_view word);
// Whether only blanks are left.
bool AtEnd(std::string_view rest);
// Equal but for ASCII letter case and surrounding blanks.
bool SameText(std::string_view a, std::string_view b);
// A line of a stored text file without the blanks, tabs and carriage return around it.
std::string_view TrimLine(std::string_view line);

} // namespace plugkit
