#include "study/provenance.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>

#include "common/report.h"

namespace study {

namespace {

// The length of the UTF-8 sequence starting at s[i], or 0 when it is none
// (a stray, overlong or surrogate byte sequence).
std::size_t utf8_length(std::string_view s, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char c = at(0);
  const std::size_t n = c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3
                      : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((at(k) & 0xc0) != 0x80) return 0;
  const unsigned char d = at(1);
  if ((c == 0xe0 && d < 0xa0) || (c == 0xed && d > 0x9f) || (c == 0xf0 && d < 0x90) ||
      (c == 0xf4 && d > 0x8f))
    return 0;
  return n;
}

// A JSON string of `s`: UTF-8 kept, control characters escaped, and a byte
// that is not part of UTF-8 as the character of the same number.
std::string json_string(std::string_view s) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c >= 0x80 ? utf8_length(s, i) : 1;
    if (c == '"' || c == '\\') {
      out.append(1, '\\').append(1, static_cast<char>(c));
    } else if (c == '\n') {
      out += "\\n";
    } else if (c >= 0x20 && c != 0x7f && n > 0) {
      out.append(s.substr(i, n));
      i += n;
      continue;
    } else {
      out.append("\\u00").append(1, digits[c >> 4]).append(1, digits[c & 15]);
    }
    ++i;
  }
  return out + '"';
}

std::string utc_now() {
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

std::string columns_json() {
  std::string s = "[";
  for (const column& c : table_columns)
    s += std::string(s.size() > 1 ? ", " : "") + "{\"name\": " + json_string(c.name) +
         ", \"unit\": " + json_string(c.unit) + ", \"meaning\": " + json_string(c.meaning) + "}";
  return s + "]";
}

std::string points_json(const std::vector<point>& points) {
  std::string s = "[";
  for (const point& p : points)
    s += std::string(s.size() > 1 ? ", " : "") + "[" + free_real(p.freq_hz) + ", " +
         json_string(p.field.name) + "]";
  return s + "]";
}

std::string line(std::string_view key, const std::string& value, bool last = false) {
  return "  \"" + std::string(key) + "\": " + value + (last ? "\n" : ",\n");
}

std::string wall_json(std::optional<double> s) { return s ? free_real(*s) : "null"; }

// The lines of a shard's provenance file, by key ("{" and "}" aside).
struct json_lines {
  std::vector<std::pair<std::string, std::string>> kv;  // key, the rest of its line
  std::string* find(std::string_view key) {
    for (auto& [k, v] : kv)
      if (k == key) return &v;
    return nullptr;
  }
};

[[noreturn]] void bad_provenance(const std::filesystem::path& file, const std::string& why) {
  throw table_mismatch(file.string() + ": " + why);
}

json_lines read_lines(const std::filesystem::path& path) {
  const std::optional<file> f = open_regular(path);
  if (!f) bad_provenance(path, "missing: resume the shard to write it");
  constexpr std::uintmax_t max_bytes = std::uintmax_t{1} << 30;
  if (file_size(*f, path) > max_bytes) bad_provenance(path, "larger than 1 GiB");
  std::string text;
  char buf[65536];
  for (ssize_t n; (n = ::read(f->fd(), buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw run_stop{stop_write_failed,
                     "cannot read \"" + path.string() + "\": " + std::strerror(errno)};
    text.append(buf, static_cast<std::size_t>(n));
  }
  json_lines out;
  if (!text.starts_with("{\n") || !text.ends_with("\n}\n")) bad_provenance(path, "not a study provenance file");
  for (std::size_t at = 2, end; (end = text.find('\n', at)) < text.size() - 2; at = end + 1) {
    const std::string_view l(text.data() + at, end - at);
    const std::size_t colon = l.find("\": ");
    if (!l.starts_with("  \"") || colon == std::string_view::npos)
      bad_provenance(path, "not a study provenance file");
    std::string_view rest = l.substr(colon + 3);
    if (rest.ends_with(',')) rest.remove_suffix(1);
    out.kv.emplace_back(std::string(l.substr(3, colon - 3)), std::string(rest));
  }
  return out;
}

template <class T>
bool parse(const std::string& s, T& v) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size();
}

}  // namespace

std::string provenance_json(const provenance& p, const std::vector<point>& points) {
  std::string s = "{\n" + line("program", json_string(p.program)) + line("date", json_string(utc_now())) +
                  line("table", json_string(table_name(p.part)));
  if (p.part.count > 1)
    s += line("shard", json_string(std::to_string(p.part.index) + "/" + std::to_string(p.part.count)));
  return s + line("test", json_string(core::test_name(p.test))) +
         line("threads", std::to_string(p.threads)) + line("wall_time_s", wall_json(p.wall_s)) +
         line("columns", columns_json()) + line("points", points_json(points)) +
         line("deck", json_string(p.deck_text), true) + "}\n";
}

void write_provenance(const std::filesystem::path& table, const provenance& p,
                      const std::vector<point>& points) {
  const std::filesystem::path file = provenance_path(table);
  write_aside(file, provenance_json(p, points));
  put_in_place(file);
}

std::string merged_provenance(const std::vector<std::filesystem::path>& shard_tables) {
  int threads = 0;
  std::optional<double> wall = 0.0;
  std::optional<json_lines> first;
  for (const std::filesystem::path& table : shard_tables) {
    const std::filesystem::path file = provenance_path(table);
    json_lines j = read_lines(file);
    const std::string* t = j.find("threads");
    const std::string* w = j.find("wall_time_s");
    int n = 0;
    double s = 0;
    if (!t || !w || !j.find("date") || !j.find("table") || !j.find("shard") || !parse(*t, n))
      bad_provenance(file, "not a study provenance file");
    threads = std::max(threads, n);
    wall = *w != "null" && wall && parse(*w, s) ? std::optional(*wall + s) : std::nullopt;
    for (const char* key : {"date", "table", "shard", "threads", "wall_time_s"}) *j.find(key) = "";
    if (!first) first = std::move(j);
    else if (j.kv != first->kv)
      bad_provenance(file, "its provenance differs from the first shard's (program, test, "
                           "points or deck)");
  }
  std::string s = "{\n";
  for (std::size_t i = 0; i < first->kv.size(); ++i) {
    const auto& [key, value] = first->kv[i];
    const bool last = i + 1 == first->kv.size();
    if (key == "date") s += line(key, json_string(utc_now()), last);
    else if (key == "table") s += line(key, json_string(table_name({})), last);
    else if (key == "threads") s += line(key, std::to_string(threads), last);
    else if (key == "wall_time_s") s += line(key, wall_json(wall), last);
    else if (key != "shard") s += line(key, value, last);
  }
  return s + "}\n";
}

}  // namespace study
