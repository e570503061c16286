#pragma once

#include <QStringView>

// The number syntax of trace cells, worked in single precision step by step: sign, integer
// digits, a fraction after '.' or ',', an exponent after 'e' or 'E'. Parsing stops silently at
// the first character that does not fit; 0 when nothing fits.
namespace QAGVZNumber {

// Parses `cell` with its surrounding white space removed. Digits are the characters for which
// QChar::isDigit() holds, so digits of other scripts count too.
float parse(QStringView cell);

// Parses the cell that starts at `begin` in the bytes before `end`, as parse() would read it as
// ASCII text; a tab ends the cell. Leading blanks other than the tab are passed over; `*stop`
// is where parsing stopped. The value equals parse() of the text before the first tab whenever
// `*stop` is `end` or a byte below 0x80; otherwise the caller must decode the cell and use
// parse().
float parseAscii(const char* begin, const char* end, const char** stop);

} // namespace QAGVZNumber
