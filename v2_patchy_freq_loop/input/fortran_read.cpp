#include "input/fortran_read.h"

#include <charconv>
#include <string>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Exponent part "E+12", "d-3", "+05" ...: its value, or empty if malformed.
std::optional<long long> exponent_part(std::string_view text) {
  if (text.empty()) return 0;
  if (std::string_view("EeDdQq").find(text[0]) != std::string_view::npos) {
    text.remove_prefix(1);
  } else if (text[0] != '+' && text[0] != '-') {
    return std::nullopt;
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long e = 0;
  for (char c : text) {
    if (!is_digit(c)) return std::nullopt;
    e = 10 * e + (c - '0');
  }
  return negative ? -e : e;
}

}  // namespace

std::optional<double> fortran_real(std::string_view text, int implied_decimals) {
  std::string number;  // sign and mantissa digits, then the decimal exponent
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    if (text[0] == '-') number += '-';
    text.remove_prefix(1);
  }
  std::size_t pos = 0;
  int fraction_digits = 0;
  bool point = false;
  bool any_digit = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (is_digit(c)) {
      number += c;
      any_digit = true;
      if (point) ++fraction_digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  const std::optional<long long> exponent = exponent_part(text.substr(pos));
  if (!any_digit || !exponent) return std::nullopt;
  const long long shift = *exponent - (point ? fraction_digits : implied_decimals);
  number += 'e' + std::to_string(shift);
  double value = 0;
  const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
  if (res.ec != std::errc{} || res.ptr != number.data() + number.size()) return std::nullopt;
  return value;
}

std::optional<int> fortran_int(std::string_view text) {
  // A plus sign is dropped; "+-1" keeps it and so fails as a second sign.
  if (text.starts_with("+") && !text.starts_with("+-")) text.remove_prefix(1);
  int value = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || res.ec != std::errc{} || res.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::string_view> next_free_item(std::string_view& rest) {
  std::size_t begin = 0;
  while (begin < rest.size() && is_blank(rest[begin])) ++begin;
  if (begin == rest.size()) {
    rest = {};
    return std::nullopt;
  }
  std::size_t end = begin;
  while (end < rest.size() && !is_blank(rest[end]) && rest[end] != ',') ++end;
  const std::string_view item = rest.substr(begin, end - begin);
  std::size_t next = end;
  while (next < rest.size() && is_blank(rest[next])) ++next;
  if (next < rest.size() && rest[next] == ',') ++next;
  rest.remove_prefix(next);
  return item;
}

std::string line_too_long::message() {
  return "line longer than " + std::to_string(max_line_length) + " characters";
}

bool read_line(std::istream& in, std::string& text, int& line) {
  ++line;
  text.clear();
  constexpr auto end = std::char_traits<char>::eof();
  auto c = in.get();
  if (c == end) return false;
  for (; c != end && c != '\n'; c = in.get()) {
    if (text.size() == max_line_length) throw line_too_long{};
    text += static_cast<char>(c);
  }
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return true;
}

std::optional<std::string_view> next_read_item(std::istream& in, std::string& text,
                                               std::string_view& rest, int& line) {
  for (;;) {
    if (const std::optional<std::string_view> item = next_free_item(rest)) return item;
    if (!read_line(in, text, line)) return std::nullopt;
    rest = text;
  }
}

std::string without_blanks(std::string_view text) {
  std::string s;
  for (char c : text) {
    if (!is_blank(c)) s += c;
  }
  return s;
}
