#include "input/deck_reader.h"

#include <optional>

#include "common/report.h"
#include "input/fortran_read.h"
#include "input/input.h"

void deck_reader::fail(std::string_view field, std::string_view what) const {
  throw run_stop{stop_bad_deck, "input deck line " + std::to_string(line_) + ", field " +
                                    std::string(field) + ": " + std::string(what)};
}

// The line just read counts against the size of a deck.
void deck_reader::count_line(std::string_view field) {
  bytes_ += text_.size() + 1;
  if (bytes_ > max_deck_bytes) {
    fail(field, "the deck has more than " + std::to_string(max_deck_bytes) +
                    " bytes, the limit of a deck");
  }
}

// First item of the next free-format line, empty lines before it skipped;
// the rest of its line is dropped.
std::string deck_reader::free_item(std::string_view field) {
  std::string_view rest;
  std::optional<std::string_view> item;
  try {
    while (!(item = next_free_item(rest))) {
      if (!read_line(in_, text_, line_)) break;
      count_line(field);
      rest = text_;
    }
  } catch (const line_too_long&) {
    fail(field, line_too_long::message());
  }
  if (!item) fail(field, "end of input");
  if (item->empty()) fail(field, "no value before the comma");
  return std::string(*item);
}

// Columns 1 ... width of the next line, blanks removed (a short line is
// padded with blanks).
std::string deck_reader::fixed_field(std::string_view field, std::size_t width) {
  try {
    if (!read_line(in_, text_, line_)) fail(field, "end of input");
  } catch (const line_too_long&) {
    fail(field, line_too_long::message());
  }
  count_line(field);
  return without_blanks(std::string_view(text_).substr(0, width));
}

double deck_reader::read_free_real(std::string_view field) {
  const std::string item = free_item(field);
  const std::optional<double> v = fortran_real(item, 0);
  if (!v) fail(field, "cannot read '" + item + "' as a real");
  return *v;
}

int deck_reader::read_free_int(std::string_view field) {
  const std::string item = free_item(field);
  const std::optional<int> v = fortran_int(item);
  if (!v) fail(field, "cannot read '" + item + "' as an integer");
  return *v;
}

int deck_reader::read_i5(std::string_view field) {
  const std::string text = fixed_field(field, 5);
  if (text.empty()) return 0;
  const std::optional<int> v = fortran_int(text);
  if (!v) fail(field, "cannot read '" + text + "' in columns 1-5 as an integer");
  return *v;
}

double deck_reader::read_g20_10(std::string_view field) {
  const std::string text = fixed_field(field, 20);
  if (text.empty()) return 0;
  const std::optional<double> v = fortran_real(text, 10);
  if (!v) fail(field, "cannot read '" + text + "' in columns 1-20 as a real");
  if (*v != *fortran_real(text, 0)) {
    warnings_.push_back("input deck line " + std::to_string(line_) + ", field " +
                        std::string(field) + ": '" + text +
                        "' has no decimal point and reads as " + free_real(*v) +
                        " (10 implied decimals)");
  }
  return *v;
}
