// The text utilities with arbitrary texts, lengths, positions and
// capacities. Every buffer is a heap block of exactly the size the call is
// told, so AddressSanitizer stops any access outside it; the results and
// statuses are compared with a plain model of each routine's contract.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "errors/parameters.h"
#include "errors/text.h"
#include "harness.h"

namespace cxfun::fuzz {
namespace {

// A heap block of exactly n bytes (n < 0 gives an empty block), filled from
// the input.
struct Buffer {
  explicit Buffer(int n, InputReader& in) : size(n > 0 ? n : 0), bytes(new char[size]) {
    for (int k = 0; k < size; ++k) bytes[k] = static_cast<char>(in.byte());
  }
  std::string_view view() const { return {bytes.get(), static_cast<std::size_t>(size)}; }
  int size;
  std::unique_ptr<char[]> bytes;
};

// A length for a text the harness allocates: any value from the input, but
// kept to a block of a few hundred bytes at most.
int text_length(InputReader& in) {
  const int n = in.position();
  return n > 400 ? n % 400 : n;
}

int upper(char c) {
  const int code = static_cast<unsigned char>(c);
  return code >= 'a' && code <= 'z' ? code - 32 : code;
}

std::string upper_text(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(upper(c));
  return u;
}

std::string describe(const char* routine, std::initializer_list<std::int64_t> args) {
  std::string d = routine;
  for (const std::int64_t a : args) d += " " + std::to_string(a);
  return d;
}

void fuzz_move(InputReader& in) {
  const bool same_buffer = in.byte() & 1;
  Buffer src(in.byte() % 80, in);
  Buffer separate_dst(same_buffer ? 0 : in.byte() % 80, in);
  Buffer& dst = same_buffer ? src : separate_dst;
  const int sf = in.position(), sl = in.position(), df = in.position(), dl = in.position();
  // The capacities are the true block sizes, or a smaller value the caller may pass.
  const int sc = src.size - (in.byte() % 4 == 0 ? in.byte() % 8 : 0);
  const int dc = dst.size - (in.byte() % 4 == 0 ? in.byte() % 8 : 0);

  const std::string src_before(src.view());
  std::string expected(dst.view());
  int expected_status;
  if (dl < df || df <= 0 || sc < sl || sf <= 0 || sl < sf) {
    expected_status = -2;
  } else if (dc < dl) {
    expected_status = -1;
  } else {
    const std::int64_t n = std::min<std::int64_t>(std::int64_t{dl} - df, std::int64_t{sl} - sf) + 1;
    // The source as it was before the move, even where the ranges overlap.
    expected.replace(df - 1, n, src_before.substr(sf - 1, n));
    for (std::int64_t k = df + n; k <= dl; ++k) expected[k - 1] = ' ';
    expected_status = static_cast<int>(sf + n - sl - 1);
  }

  int status = 12345;
  TXMOVE(src.bytes.get(), sf, sl, sc, dst.bytes.get(), df, dl, dc, status);
  const std::string d = describe("TXMOVE", {sf, sl, sc, df, dl, dc, same_buffer});
  check(status == expected_status, "TXMOVE status", d + " got " + std::to_string(status));
  check(dst.view() == expected, "TXMOVE destination", d);
  if (!same_buffer) check(src.view() == src_before, "TXMOVE changed its source", d);
}

void fuzz_searches(InputReader& in) {
  const int ns = text_length(in), nk = text_length(in);
  Buffer s(ns, in);
  Buffer k(nk, in);
  const std::string d = describe("searches", {ns, nk});

  // First occurrence, counted from 1; 0 when there is none or a length is not positive.
  auto position_of = [&](std::string_view text, std::string_view key) {
    if (ns <= 0 || nk <= 0) return 0;
    const std::size_t at = text.find(key);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  };
  check(TXFIND(s.bytes.get(), ns, k.bytes.get(), nk) == position_of(s.view(), k.view()), "TXFIND",
        d);
  check(TXFNDI(s.bytes.get(), ns, k.bytes.get(), nk) ==
            position_of(upper_text(s.view()), upper_text(k.view())),
        "TXFNDI", d);

  int expected_vrfy = 1;
  if (ns > 0 && nk > 0) {
    const std::size_t at = s.view().find_first_not_of(k.view());
    expected_vrfy = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  }
  check(TXVRFY(s.bytes.get(), ns, k.bytes.get(), nk) == expected_vrfy, "TXVRFY", d);

  // Case-insensitive comparison: with both lengths positive, the shorter text
  // counts as padded with blanks; an empty text sorts before any longer one.
  int expected_cmpi;
  if (ns == nk) {
    expected_cmpi = 0;
    if (ns > 0) {
      const int c = upper_text(s.view()).compare(upper_text(k.view()));
      expected_cmpi = c < 0 ? -1 : c > 0 ? 1 : 0;
    }
  } else if (ns <= 0 || nk <= 0) {
    expected_cmpi = ns < nk ? -1 : 1;
  } else {
    std::string a = upper_text(s.view()), b = upper_text(k.view());
    a.resize(std::max(a.size(), b.size()), ' ');
    b.resize(a.size(), ' ');
    // Codes compare as unsigned bytes.
    const int c = std::memcmp(a.data(), b.data(), a.size());
    expected_cmpi = c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  check(TXCMPI(s.bytes.get(), ns, k.bytes.get(), nk) == expected_cmpi, "TXCMPI", d);
}

void fuzz_integer_field(InputReader& in) {
  const int value = in.value<int>();
  int width = in.position();
  if (width > 40) width %= 40;
  Buffer field(width, in);
  std::string expected(field.view());
  int expected_status;
  const std::int64_t v = value;
  const std::string digits = std::to_string(v < 0 ? -v : v);
  const int count = static_cast<int>(digits.size());
  if (width <= 0) {
    expected_status = -1;
  } else if (count > width) {
    expected = digits.substr(count - width);  // the lowest digits fill the field
    expected_status = count - width + (v < 0 ? 1 : 0);
  } else if (v < 0 && count == width) {
    expected = digits;
    expected_status = 1;
  } else {
    const std::string text = (v < 0 ? "-" : "") + digits;
    expected = std::string(width - text.size(), ' ') + text;
    expected_status = 0;
  }
  int status = 12345;
  TXIFMT(value, field.bytes.get(), width, status);
  const std::string d = describe("TXIFMT", {value, width});
  check(status == expected_status, "TXIFMT status", d + " got " + std::to_string(status));
  check(field.view() == expected, "TXIFMT field", d + " got '" + std::string(field.view()) + "'");
}

void fuzz_read_integer(InputReader& in) {
  const int n = text_length(in);
  Buffer s(n, in);
  const std::string_view t = s.view();

  // Leading blanks, an optional sign with blanks after it, digits.
  int expected_value = 0;
  int expected_status;
  if (n <= 0) {
    expected_status = -1;
  } else if (t.find_first_not_of(' ') == std::string_view::npos) {
    expected_status = 1;
  } else {
    const std::size_t f = t.find_first_not_of(' ');
    std::size_t i = f;
    const bool negative = t[i] == '-';
    if (t[i] == '-' || t[i] == '+') i = t.find_first_not_of(' ', i + 1);
    if (i == std::string_view::npos) {
      expected_status = static_cast<int>(f) + 1;
    } else {
      const std::size_t end = std::min(t.find_first_not_of("0123456789", i), t.size());
      std::int64_t magnitude = 0;
      bool too_large = false;
      for (std::size_t j = i; j < end && !too_large; ++j) {
        magnitude = magnitude * 10 + (t[j] - '0');
        too_large = magnitude > 2147483647;
      }
      if (too_large) {
        expected_status = -2;
        expected_value = -1;  // not compared: the value then holds a partial magnitude
      } else if (end == i) {
        expected_status = static_cast<int>(f) + 1;  // no digit at all
      } else {
        expected_value = static_cast<int>(negative ? -magnitude : magnitude);
        expected_status = end == t.size() ? 0 : static_cast<int>(end) + 1;
      }
    }
  }
  int value = 777, status = 777;
  TXRDIN(s.bytes.get(), n, value, status);
  const std::string d = describe("TXRDIN", {n}) + " '" + std::string(t) + "' got " +
                        std::to_string(value) + " " + std::to_string(status);
  check(status == expected_status, "TXRDIN status", d);
  if (expected_status != -2) check(value == expected_value, "TXRDIN value", d);
}

void fuzz_codes(InputReader& in) {
  Buffer c(1, in);
  const int code = static_cast<unsigned char>(c.bytes[0]);
  check(TXCODE(c.bytes.get()) == code, "TXCODE");
  check(TXUPCD(c.bytes.get()) == upper(c.bytes[0]), "TXUPCD");
  const int k = in.value<int>();
  Buffer out(1, in);
  TXCHAR(out.bytes.get(), k);
  check(static_cast<unsigned char>(out.bytes[0]) == (k < 0 ? 0 : (k & 0xFF)), "TXCHAR",
        describe("TXCHAR", {k}));
}

}  // namespace
}  // namespace cxfun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace cxfun::fuzz;
  InputReader in(data, size);
  // Several calls per input, each chosen by one byte.
  for (int call = 0; call < 8 && in.remaining() > 0; ++call) {
    switch (in.byte() % 5) {
      case 0:
        fuzz_move(in);
        break;
      case 1:
        fuzz_searches(in);
        break;
      case 2:
        fuzz_integer_field(in);
        break;
      case 3:
        fuzz_read_integer(in);
        break;
      default:
        fuzz_codes(in);
        break;
    }
  }
  return 0;
}
