// Line-by-line reader of the input deck: counts the lines it consumes and
// reads the three kinds of deck line. A missing or unreadable value stops
// the run with a message naming the deck line and the field.
#pragma once

#include <istream>
#include <string>
#include <string_view>

class deck_reader {
 public:
  explicit deck_reader(std::istream& in) : in_(in) {}

  // First item of a free-format line (blank or comma separated); empty
  // lines before it are skipped and the rest of its line is ignored.
  double read_free_real(std::string_view field);
  int read_free_int(std::string_view field);

  // "(i5)": columns 1-5, blanks ignored, an all-blank field reads as 0.
  int read_i5(std::string_view field);

  // "(g20.10)": columns 1-20, blanks ignored, an all-blank field reads as
  // 0; a value without a decimal point has 10 implied decimals.
  double read_g20_10(std::string_view field);

  // Stops the run: run_stop{stop_bad_deck, "input deck line N, field F: what"}
  // with N the line of the last value read.
  [[noreturn]] void fail(std::string_view field, std::string_view what) const;

 private:
  std::string free_item(std::string_view field);
  std::string fixed_field(std::string_view field, std::size_t width);

  std::istream& in_;
  std::string text_;
  int line_ = 0;
};
