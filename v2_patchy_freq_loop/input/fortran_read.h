// Reading numbers the way formatted and free-format Fortran reads do.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

// The real written in `text` (no blanks): [sign] digits [. digits] [exponent],
// the exponent being E, D or Q with an optional sign and digits, or a bare
// signed integer. A value written without a decimal point has its last
// `implied_decimals` mantissa digits as fraction. Empty when unreadable.
std::optional<double> fortran_real(std::string_view text, int implied_decimals);

// The integer written in `text` (no blanks): [sign] digits. Empty when
// unreadable or out of the int range.
std::optional<int> fortran_int(std::string_view text);

// Next item of a free-format line: skips blanks, returns the item and moves
// `rest` past it and past one following comma. Returns an empty view for a
// null item (a comma where a value should be) and nothing at the line end.
std::optional<std::string_view> next_free_item(std::string_view& rest);

// Longest line the readers take, in characters without the line end: the
// input is read a line at a time, and no line of a deck or water file needs
// more, so memory stays bounded whatever the input holds.
inline constexpr std::size_t max_line_length = 65536;

// Thrown by read_line on a line longer than max_line_length.
struct line_too_long {
  // "line longer than 65536 characters"
  static std::string message();
};

// Next line of `in` into `text`, without a trailing carriage return, counted
// in `line` (also when the input has ended). False at the end of the input.
bool read_line(std::istream& in, std::string& text, int& line);

// Next item of a free-format read that runs on over further lines of `in`,
// blank lines included, once `rest` of the current line `text` is used up.
// Empty view for a null item; nothing at the end of the input.
std::optional<std::string_view> next_read_item(std::istream& in, std::string& text,
                                               std::string_view& rest, int& line);

// `text` with every blank and tab taken out (blanks inside a field are not
// significant).
std::string without_blanks(std::string_view text);
