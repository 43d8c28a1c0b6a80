// Free-format (list-directed) report lines and the stop of a run.
#pragma once

#include <complex>
#include <concepts>
#include <exception>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "common/stop_codes.h"

// Shortest text that reads back as the same double ("NaN", "Infinity" and
// "-Infinity" for the non-finite values).
std::string free_real(double x);

namespace report_detail {
inline void put(std::ostream& os, std::string_view s) { os << s; }
inline void put(std::ostream& os, const char* s) { os << s; }
inline void put(std::ostream& os, const std::string& s) { os << s; }
template <std::integral I>
void put(std::ostream& os, I i) { os << static_cast<long long>(i); }
inline void put(std::ostream& os, double x) { os << free_real(x); }
template <class T>
inline constexpr bool is_text = std::is_convertible_v<const T&, std::string_view>;
}  // namespace report_detail

// One free-format line: a leading blank, then the items separated by
// blanks; texts as they stand (two texts in a row are joined without a
// blank), integers in full, reals at full precision.
// free_line(os) writes an empty line.
template <class... Items>
void free_line(std::ostream& os, const Items&... items) {
  bool after_text = false;
  [[maybe_unused]] auto item = [&](const auto& x) {
    constexpr bool text = report_detail::is_text<std::decay_t<decltype(x)>>;
    if (!(text && after_text)) os << ' ';
    report_detail::put(os, x);
    after_text = text;
  };
  (item(items), ...);
  os << '\n';
}

// A stop of a point or of the batch run, with its stop code
// (common/stop_codes.h). Messages that belong to the report are written
// before throwing; `message`, when not empty, is a one-line diagnostic for
// standard error.
struct run_stop : std::exception {
  run_stop(int stop_code, std::string text) : code(stop_code), message(std::move(text)) {}
  // The message, or a generic text when the report states the cause.
  const char* what() const noexcept override;
  int code;
  std::string message;
};
