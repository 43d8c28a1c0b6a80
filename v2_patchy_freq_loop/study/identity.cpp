// The fingerprint of a study table: what the table was computed from (hashes
// of the deck and of the point list, the number of points, the shard, the
// test) and the digest of every row written.
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "common/report.h"
#include "study/table.h"

namespace study {

namespace {

// 64-bit FNV-1a, fed byte by byte.
class fnv1a {
 public:
  void byte(unsigned char c) { h_ = (h_ ^ c) * 0x100000001b3ULL; }
  void bytes(std::string_view s) {
    for (unsigned char c : s) byte(c);
  }
  // Little-endian, whatever the machine.
  void word(std::uint64_t w) {
    for (int i = 0; i < 8; ++i) byte(static_cast<unsigned char>(w >> (8 * i)));
  }
  void real(double x) { word(std::bit_cast<std::uint64_t>(x)); }
  std::uint64_t value() const { return h_; }

 private:
  std::uint64_t h_ = 0xcbf29ce484222325ULL;
};

constexpr std::string_view identity_title = "v2_patchy_freq_loop study table";
// The head is a few short lines.
constexpr std::size_t max_head_bytes = 512;

std::string hex(std::uint64_t v) {
  char buf[17];
  const auto r = std::to_chars(buf, buf + 16, v, 16);
  return std::string(16 - static_cast<std::size_t>(r.ptr - buf), '0') + std::string(buf, r.ptr);
}

template <class I>
bool whole(std::string_view s, I& v, int base = 10) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// The text after "key " of a head line, or nothing.
std::optional<std::string_view> value_of(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || !line.starts_with(key) || line[key.size()] != ' ')
    return std::nullopt;
  return line.substr(key.size() + 1);
}

// The identity of the head's lines (after the title), or nothing.
std::optional<table_identity> identity_of(const std::vector<std::string_view>& l) {
  table_identity id;
  std::optional<std::string_view> deck, points, count, part, test;
  if (l.size() != 5 || !(deck = value_of(l[0], "deck")) || !(points = value_of(l[1], "points")) ||
      !(count = value_of(l[2], "count")) || !(part = value_of(l[3], "shard")) ||
      !(test = value_of(l[4], "test")))
    return std::nullopt;
  const std::size_t slash = part->find('/');
  const std::optional<core::fe_test> t = core::test_of_name(*test);
  if (!whole(*deck, id.deck, 16) || !whole(*points, id.points, 16) || !whole(*count, id.count) ||
      slash == std::string_view::npos || !whole(part->substr(0, slash), id.part.index) ||
      !whole(part->substr(slash + 1), id.part.count) || !t || id.count > max_table_points ||
      id.part.count < 1 || id.part.index < 0 || id.part.index >= id.part.count)
    return std::nullopt;
  id.test = *t;
  return id;
}

[[noreturn]] void malformed(const std::filesystem::path& path, const std::string& why) {
  throw table_mismatch(path.string() + ": not a study fingerprint (" + why + ")");
}

// The next `n` bytes of a file (fewer at its end).
std::string read_bytes(const file& f, const std::filesystem::path& path, std::uintmax_t n) {
  std::string text(static_cast<std::size_t>(n), '\0');
  std::size_t got = 0;
  for (ssize_t r; got < text.size(); got += static_cast<std::size_t>(r)) {
    r = ::read(f.fd(), text.data() + got, text.size() - got);
    if (r < 0 && errno == EINTR) r = 0;
    else if (r < 0)
      throw run_stop{stop_write_failed,
                     "cannot read \"" + path.string() + "\": " + std::strerror(errno)};
    else if (r == 0) break;
  }
  text.resize(got);
  return text;
}

}  // namespace

std::uint64_t hash_text(std::string_view text) {
  fnv1a h;
  h.bytes(text);
  return h.value();
}

std::uint64_t hash_points(const std::vector<point>& points) {
  fnv1a h;
  h.word(points.size());
  for (const point& p : points) {
    h.real(p.freq_hz);
    h.word(p.field.name.size());
    h.bytes(p.field.name);
    const core::water_field& w = *p.field.cells;
    h.word(static_cast<std::uint64_t>(w.nx));
    h.word(static_cast<std::uint64_t>(w.ny));
    for (double x : w.v) h.real(x);
  }
  return h.value();
}

std::uint64_t row_digest(const table_identity& id, std::string_view record) {
  fnv1a h;
  h.bytes(fingerprint_head(id));
  h.bytes(record);
  return h.value();
}

std::string fingerprint_head(const table_identity& id) {
  return std::string(identity_title) + "\ndeck " + hex(id.deck) + "\npoints " + hex(id.points) +
         "\ncount " + std::to_string(id.count) + "\nshard " + std::to_string(id.part.index) +
         '/' + std::to_string(id.part.count) + "\ntest " + std::string(core::test_name(id.test)) +
         '\n';
}

std::string digest_line(std::uint64_t digest) { return hex(digest) + '\n'; }

std::optional<fingerprint> read_fingerprint(const std::filesystem::path& table) {
  const std::filesystem::path path = fingerprint_path(table);
  const std::optional<file> f = open_regular(path);
  if (!f) return std::nullopt;
  // The head first: the rest may be no longer than its count of rows allows.
  const std::uintmax_t size = file_size(*f, path);
  std::string text = read_bytes(*f, path, std::min<std::uintmax_t>(size, max_head_bytes));
  std::vector<std::string_view> head;
  std::size_t at = 0;
  for (int i = 0; i < 6; ++i) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) malformed(path, "no complete head");
    head.emplace_back(text.data() + at, end - at);
    at = end + 1;
  }
  const std::optional<table_identity> id =
      head[0] == identity_title ? identity_of({head.begin() + 1, head.end()}) : std::nullopt;
  if (!id || text.compare(0, at, fingerprint_head(*id)) != 0) malformed(path, "a malformed head");
  if (size > at + (id->count + 1) * digest_line_bytes)
    malformed(path, "larger than its " + std::to_string(id->count) + " points allow");
  text += read_bytes(*f, path, size - text.size());
  fingerprint fp{*id, {}, at};
  const std::size_t rows = (text.size() - at) / digest_line_bytes;  // a cut last line left out
  if (rows > id->count) malformed(path, "more rows than points");
  fp.rows.reserve(rows);
  for (std::size_t r = 0; r < rows; ++r, at += digest_line_bytes) {
    std::uint64_t d = 0;
    if (text[at + 16] != '\n' || !whole(std::string_view(text).substr(at, 16), d, 16))
      malformed(path, "row line " + std::to_string(r + 1) + " is not a digest");
    fp.rows.push_back(d);
  }
  return fp;
}

}  // namespace study
