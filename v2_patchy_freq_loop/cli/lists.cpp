#include "cli/lists.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "cli/cli.h"
#include "common/water.h"
#include "core/point.h"
#include "study/study.h"

namespace cli {

namespace {

[[noreturn]] void bad(std::string_view option, std::string_view text, const std::string& why) {
  throw usage_error(std::string(option) + " \"" + std::string(text) + "\": " + why);
}

// The items of a comma-separated list; an empty item or list is refused.
std::vector<std::string_view> items(std::string_view option, std::string_view text) {
  std::vector<std::string_view> out;
  for (std::size_t at = 0;;) {
    const std::size_t comma = text.find(',', at);
    out.push_back(text.substr(at, comma == std::string_view::npos ? comma : comma - at));
    if (out.back().empty()) bad(option, text, "empty item in the list");
    if (comma == std::string_view::npos) return out;
    at = comma + 1;
  }
}

// A number out of its type's range: too large, or (a real) too small to
// be told from zero.
template <class T>
std::string out_of_range(std::string_view s) {
  std::string why = "\"";
  why.append(s);
  if constexpr (std::is_floating_point_v<T>) {
    if (std::fabs(std::strtod(std::string(s).c_str(), nullptr)) < 1)
      return why.append("\" is too small (below the smallest double)");
  }
  return why.append("\" is too large");
}

template <class T>
T number(std::string_view option, std::string_view list, std::string_view s) {
  T v{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec == std::errc::result_out_of_range && end == s.data() + s.size())
    bad(option, list, out_of_range<T>(s));
  if (ec != std::errc() || end != s.data() + s.size()) {
    std::string why = "\"";
    why.append(s).append("\" is not a number");
    bad(option, list, why);
  }
  return v;
}

double frequency(std::string_view list, std::string_view s) {
  const double f = number<double>("--freq", list, s);
  if (!core::valid_frequency(f))
    bad("--freq", list, "frequency " + std::string(s) + " is not > 0");
  return f;
}

}  // namespace

std::vector<double> parse_frequencies(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    std::vector<double> f;
    for (std::string_view s : items("--freq", text)) f.push_back(frequency(text, s));
    return f;
  }
  const std::size_t colon2 = text.find(':', colon + 1);
  if (colon2 == std::string_view::npos || text.find(':', colon2 + 1) != std::string_view::npos)
    bad("--freq", text, "a range is F1:F2:N");
  const double f1 = frequency(text, text.substr(0, colon));
  const double f2 = frequency(text, text.substr(colon + 1, colon2 - colon - 1));
  const int n = number<int>("--freq", text, text.substr(colon2 + 1));
  if (n < 1 || n > max_sweep_points)
    bad("--freq", text, "the number of points N is not in [1, " +
                            std::to_string(max_sweep_points) + "]");
  return study::log_sweep(f1, f2, n);
}

std::vector<double> parse_waters(std::string_view text) {
  std::vector<double> w;
  for (std::string_view s : items("--water", text)) {
    const double x = number<double>("--water", text, s);
    if (!uniform_water_ok(x)) bad("--water", text, "water " + std::string(s) + " is not in [0, 1)");
    w.push_back(x);
  }
  return w;
}

study::shard parse_shard(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) bad("--shard", text, "a shard is I/N");
  const int i = number<int>("--shard", text, text.substr(0, slash));
  const int n = number<int>("--shard", text, text.substr(slash + 1));
  if (n < 1 || i < 0 || i >= n) bad("--shard", text, "I/N needs N >= 1 and 0 <= I < N");
  return {i, n};
}

}  // namespace cli

namespace cli {

core::fe_test parse_test(std::string_view text) {
  const std::optional<core::fe_test> t = core::test_of_name(text);
  if (!t) bad("--test", text, "the test is platen or per-solid");
  return *t;
}

}  // namespace cli
