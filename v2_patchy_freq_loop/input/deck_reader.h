// Line-by-line reader of the input deck: counts the lines it consumes and
// reads the three kinds of deck line. A missing or unreadable value, or a
// deck past max_deck_bytes, stops the run with a message naming the deck
// line and the field.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

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
  // 0; a value without a decimal point has 10 implied decimals, and when
  // they change it a warning names the line, the field, the text and the
  // value.
  double read_g20_10(std::string_view field);

  // The warnings of the values read so far, one line each.
  const std::vector<std::string>& warnings() const { return warnings_; }

  // Stops the run: run_stop{stop_bad_deck, "input deck line N, field F: what"}
  // with N the line of the last value read.
  [[noreturn]] void fail(std::string_view field, std::string_view what) const;

 private:
  std::string free_item(std::string_view field);
  std::string fixed_field(std::string_view field, std::size_t width);
  // Stops the run once the lines read pass max_deck_bytes.
  void count_line(std::string_view field);

  std::istream& in_;
  std::string text_;
  int line_ = 0;
  std::size_t bytes_ = 0;
  std::vector<std::string> warnings_;
};
