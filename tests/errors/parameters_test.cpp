#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "errors/error_state.h"
#include "errors/parameters.h"
#include "process_runner.h"

namespace cxfun {
namespace {

// Every test starts from a set-up state with an empty store and no message.
class ParametersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ERINIT();
    g_error_state.param_end = 1;
    g_error_state.message_length = 0;
  }

  static std::string store() {
    const int end = g_error_state.param_end;
    return end <= 1 ? std::string() : std::string(g_error_state.param_store, end);
  }

  static std::string message() {
    return std::string(g_error_state.message, g_error_state.message_length);
  }

  static void compose(const std::string& msg) {
    compose_message(msg.data(), static_cast<int>(msg.size()));
  }
};

std::string letters(int n, char first = 'a') {
  std::string s;
  for (int k = 0; k < n; ++k) s += static_cast<char>(first + k % 26);
  return s;
}

// The worked example: four kinds of store, then a message that uses them,
// with a lower-case kind letter and a placeholder that has no value.
TEST_F(ParametersTest, StoreAndComposeExample) {
  ERPUTI(1, 50);
  ERPUTZ(1, Complex{1.5, -2});
  ERPUTL(2, "ABC   ", 6);
  ERPUTL(-3, "AB  ", 4);
  EXPECT_EQ(store(),
            "*I1*2%50*Z1*46%(1.500000000000000D+00,-2.000000000000000D+00)*L2*3%ABC*L3*4%AB  ");
  EXPECT_EQ(g_error_state.param_end, 80);

  compose("Value %(I1) and z %(Z1) and L2=%(L2) L3=%(l3) %(R1) end");
  EXPECT_EQ(message(),
            ".  Value 50 and z (1.500000000000000D+00,-2.000000000000000D+00) and L2=ABC "
            "L3=AB   %(R1) end");
  EXPECT_EQ(g_error_state.message_length, 93);
}

TEST_F(ParametersTest, StoredEntriesTable) {
  const std::string long_text = letters(300);
  const struct {
    std::function<void()> store;
    std::string expected;
    const char* why;
  } cases[] = {
      {[] { ERPUTI(1, 0); }, "*I1*1%0", "integer zero"},
      {[] { ERPUTI(2, -1); }, "*I2*2%-1", "negative integer"},
      {[] { ERPUTI(9, INT_MAX); }, "*I9*10%2147483647", "largest integer, two length digits"},
      {[] { ERPUTI(1, INT_MIN); }, "*I1*11%-2147483648", "most negative integer"},
      {[] { ERPUTL(9, "    ", 4); }, "*L9*1% ", "blanks only: one blank"},
      {[] { ERPUTL(1, "", 0); }, "*L1*1% ", "empty text: one blank"},
      {[] { ERPUTL(-9, "ab  ", 4); }, "*L9*4%ab  ", "negative index keeps trailing blanks"},
      {[] { ERPUTL(-2, " ", 1); }, "*L2*1% ", "negative index, one blank"},
      {[] { ERPUTL(-1, "", 0); }, "*L1*0%", "negative index, empty text"},
      {[] { ERPUTL(-1, "x", -5); }, "*L1*0%", "negative length is an empty text"},
      {[] { ERPUTL(1, "x", -5); }, "*L1*1% ", "negative length, positive index"},
      {[] { ERPUTL(3, " a b ", 5); }, "*L3*4% a b", "inner and leading blanks stay"},
      {[&] { ERPUTL(1, long_text.data(), 300); }, "*L1*255%" + long_text.substr(0, 255),
       "text cut to 255 characters"},
      {[] { ERPUT("q", 4, 2, "xy"); }, "*q4*2%xy", "any kind letter"},
      {[] { ERPUT("L", 1, 5, "ab  c"); }, "*L1*5%ab  c", "no trailing blanks to drop"},
  };
  for (const auto& c : cases) {
    SetUp();
    c.store();
    EXPECT_EQ(store(), c.expected) << c.why;
  }
}

// A store that cannot be made leaves the store exactly as it was.
TEST_F(ParametersTest, RefusedStoresTable) {
  const std::string text291 = letters(291);
  const struct {
    std::function<void()> store;
    const char* why;
  } cases[] = {
      {[] { ERPUTI(0, 5); }, "integer index 0"},
      {[] { ERPUTI(10, 5); }, "integer index 10"},
      {[] { ERPUTI(-1, 5); }, "integer negative index"},
      {[] { ERPUTZ(-1, Complex{1, 2}); }, "complex negative index"},
      {[] { ERPUTZ(0, Complex{1, 2}); }, "complex index 0"},
      {[] { ERPUTZ(10, Complex{1, 2}); }, "complex index 10"},
      {[] { ERPUTL(0, "a", 1); }, "text index 0"},
      {[] { ERPUTL(10, "a", 1); }, "text index 10"},
      {[] { ERPUTL(-10, "a", 1); }, "text index -10"},
      {[] { ERPUTL(INT_MIN, "a", 1); }, "text index most negative"},
      {[] { ERPUT("I", INT_MIN, 1, "a"); }, "entry index most negative"},
      {[&] { ERPUT("L", 1, 292, text291.data()); }, "292 characters never fit"},
      {[] { ERPUT("L", 1, INT_MAX, "a"); }, "largest length"},
  };
  for (const auto& c : cases) {
    SetUp();
    ERPUTI(1, 7);
    c.store();
    EXPECT_EQ(store(), "*I1*1%7") << c.why;
  }
}

// The first entry of an empty store holds up to 291 characters; a full store
// refuses an entry whose given length would pass position 300 and keeps what
// it has.
TEST_F(ParametersTest, StoreCapacity) {
  const std::string text = letters(291);
  ERPUT("L", 1, 291, text.data());
  EXPECT_EQ(store(), "*L1*291%" + text);
  EXPECT_EQ(g_error_state.param_end, 299);

  SetUp();
  ERPUTL(1, text.data(), 255);
  EXPECT_EQ(g_error_state.param_end, 263);
  const std::string before = store();
  ERPUTL(2, text.data(), 30);  // 263 + 30 + 8 = 301
  EXPECT_EQ(store(), before);
  // The given length counts, even where trailing blanks would be dropped.
  ERPUTL(2, (text.substr(0, 5) + std::string(25, ' ')).data(), 30);
  EXPECT_EQ(store(), before);
  ERPUTL(2, text.data(), 29);  // 263 + 29 + 8 = 300
  EXPECT_EQ(store(), before + "*L2*29%" + text.substr(0, 29));
  EXPECT_EQ(g_error_state.param_end, 299);
}

TEST_F(ParametersTest, ComplexRenderingTable) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double re, im;
    const char* expected;
    const char* why;
  } cases[] = {
      {0.0, 0.0, "(0.000000000000000D+00,0.000000000000000D+00)", "zeros"},
      {-0.0, 0.0, "(-0.000000000000000D+00,0.000000000000000D+00)", "negative zero keeps its sign"},
      {inf, -inf, "(Infinity,-Infinity)", "infinities"},
      {1e300, nan, "(1.000000000000000+300,NaN)", "three-digit exponent, NaN"},
      {-nan, 1.0, "(NaN,1.000000000000000D+00)", "NaN with its sign bit set"},
      {4.9406564584124654e-324, 1e-100, "(4.940656458412465-324,1.000000000000000-100)",
       "smallest subnormal, exponent -100"},
      {-123.456, 0.1, "(-1.234560000000000D+02,1.000000000000000D-01)", "two-digit exponents"},
      {1.7976931348623157e308, -2.2250738585072014e-308,
       "(1.797693134862316+308,-2.225073858507201-308)", "largest and smallest normal"},
      {1e99, 1e-99, "(1.000000000000000D+99,1.000000000000000D-99)", "last two-digit exponents"},
      // Exactly halfway between two 16-digit decimals: to the even one.
      {1000000000000000.5, 1000000000000001.5, "(1.000000000000000D+15,1.000000000000002D+15)",
       "halfway cases go to even"},
      // 3.2956212316547955 is the shortest text of a double slightly below
      // 3.2956212316547955 itself, so it rounds down.
      {3.2956212316547955, -3.2956212316547955, "(3.295621231654795D+00,-3.295621231654795D+00)",
       "the exact binary value decides"},
      // Doubles just below a power of ten whose rounding carries into the next
      // exponent.
      {0x1.d42aea2879f2ep+328, 0x1.6dc186ef9f45cp+335,
       "(1.000000000000000D+99,1.000000000000000+101)", "rounding carries into the exponent"},
      {9.9999999999999995e99, 0x1.ad7f29abcaf48p-24,
       "(1.000000000000000+100,1.000000000000000D-07)", "carry to three digits; negative"},
  };
  for (const auto& c : cases) {
    SetUp();
    ERPUTZ(1, Complex{c.re, c.im});
    const std::string text = c.expected;
    EXPECT_EQ(store(), "*Z1*" + std::to_string(text.size()) + "%" + text) << c.why;
  }
}

TEST(TextReadIntegerTest, Table) {
  const struct {
    const char* s;
    int n;
    int value, status;
  } cases[] = {
      {"42", 2, 42, 0},         {"  -17", 5, -17, 0},     {"+ 5", 3, 5, 0},
      {"007", 3, 7, 0},         {"12 ", 3, 12, 3},        {"0x", 2, 0, 2},
      {"x", 1, 0, 1},           {"-", 1, 0, 1},           {" ", 1, 0, 1},
      {"2%50", 4, 2, 2},        {"123%", 4, 123, 4},      {"2147483648", 10, 214748364, -2},
      {"2147483647", 10, 2147483647, 0},                  {"-2147483647", 11, -2147483647, 0},
      {"0000000000002147483647", 22, 2147483647, 0},      {"99999999999", 11, 999999999, -2},
      {"", 0, 0, -1},           {"5", -4, 0, -1},         {"  +  ", 5, 0, 3},
      {"+x", 2, 0, 1},          {"- 0x", 4, 0, 4},        {"000", 3, 0, 0},
      {"-0", 2, 0, 0},          {"42", 1, 4, 0},          {"  7%", 4, 7, 4},
  };
  for (const auto& c : cases) {
    int value = 99;
    int status = 99;
    TXRDIN(c.s, c.n, value, status);
    EXPECT_EQ(value, c.value) << "'" << c.s << "' " << c.n;
    EXPECT_EQ(status, c.status) << "'" << c.s << "' " << c.n;
  }
}

TEST_F(ParametersTest, CompositionTable) {
  const struct {
    std::function<void()> store;
    std::string msg;
    std::string expected;  // after ".  "
    const char* why;
  } cases[] = {
      {[] { ERPUTI(1, 5); }, "a %(I0) %(I ) %(IX) %(Q1) %(I1)", "a %(I0) %(I ) %(IX) %(Q1) 5",
       "bad digits and kind letters stay as written"},
      {[] { ERPUTI(2, 5); }, "x %(I1) y", "x %(I1) y", "no value stored"},
      {[] { ERPUTI(1, 7); }, "N = %(I1)", "N = 7", "placeholder at the very end"},
      {[] { ERPUTI(1, 7); }, "%(I1", "%(I1", "too short to hold a placeholder"},
      {[] { ERPUTI(1, 7); }, "ab%(I1)", "ab7", "placeholder ends the text"},
      {[] { ERPUTI(1, 7); }, "ab%(I1", "ab%(I1", "'%' among the last four characters"},
      {[] { ERPUTI(1, 7); }, "%(I1)%(i1)", "77", "adjacent placeholders, either case"},
      {[] { ERPUTI(1, 1); ERPUTI(1, 2); }, "%(I1)", "1", "the first stored entry wins"},
      {[] { ERPUTL(1, "x*I1*9%abcdefghi", 16); ERPUTI(1, 5); }, "%(I1) %(L1)",
       "5 x*I1*9%abcdefghi", "a key inside a stored text is not an entry"},
      {[] { ERPUTL(-1, "", 0); }, "[%(L1)]", "[%(L1)]", "an empty value leaves the placeholder"},
      {[] { ERPUT("a", 1, 2, "xy"); }, "%(A1)", "xy", "other kinds of the set"},
      {[] { ERPUT("q", 1, 2, "xy"); }, "%(Q1)", "%(Q1)", "kind outside the set"},
      {[] { ERPUTZ(9, Complex{1, 0}); }, "%(z9)", "(1.000000000000000D+00,0.000000000000000D+00)",
       "complex, lower-case kind"},
      {[] {}, "", "", "empty message"},
      {[] {}, "%%(I1)%", "%%(I1)%", "percent signs without values"},
  };
  for (const auto& c : cases) {
    SetUp();
    c.store();
    compose(c.msg);
    EXPECT_EQ(message(), ".  " + c.expected) << c.why;
  }

  // A negative length composes the prefix alone.
  SetUp();
  compose_message("abc", -2);
  EXPECT_EQ(message(), ".  ");
}

// The recorded message never passes 1024 characters: the text is cut first,
// and a value that reaches the end is cut there, dropping what follows.
TEST_F(ParametersTest, CompositionCutAt1024) {
  const std::string plain(1024, 'm');
  compose(plain);
  EXPECT_EQ(message(), ".  " + plain.substr(0, 1021));

  compose(std::string(2000, 'm'));
  EXPECT_EQ(message(), ".  " + plain.substr(0, 1021));

  // 1015 characters, then a 20-character value of which 6 fit.
  const std::string name = letters(20, 'A');
  ERPUTL(1, name.data(), 20);
  ERPUTI(1, 42);
  compose(std::string(1015, 'm') + "%(L1) and %(I1)");
  EXPECT_EQ(g_error_state.message_length, 1024);
  EXPECT_EQ(message(), ".  " + std::string(1015, 'm') + name.substr(0, 6));

  // Placeholders whose values cannot be copied stay as written, and are cut
  // like any other text.
  SetUp();
  ERPUTI(1, 42);
  compose(std::string(1016, 'm') + "%(I1)");
  EXPECT_EQ(message(), ".  " + std::string(1016, 'm') + "42");
  compose(std::string(1021, 'm') + "%(I1)");
  EXPECT_EQ(message(), ".  " + std::string(1021, 'm'));
}

// Each store operation sets the error state up on its first call in a
// process, whether or not it then stores anything.
TEST(ParametersProcessTest, FirstStoreSetsStateUp) {
  const struct {
    const char* operation;
    const char* out;
  } cases[] = {
      {"i", "initialised=1 depth=1 user=USER param_end=7 store=*I1*1%5\n"},
      {"l", "initialised=1 depth=1 user=USER param_end=8 store=*L1*2%ab\n"},
      {"z", "initialised=1 depth=1 user=USER param_end=52 "
            "store=*Z1*45%(1.000000000000000D+00,2.000000000000000D+00)\n"},
      {"refused", "initialised=1 depth=1 user=USER param_end=1 store=\n"},
      {"none", "initialised=0 depth=0 user= param_end=0 store=\n"},
  };
  for (const auto& c : cases) {
    const testing::ProcessResult r = testing::run_process({HOST_PARAMETERS, c.operation});
    EXPECT_EQ(r.exit_status, 0) << c.operation;
    EXPECT_EQ(r.out, c.out) << c.operation << "\n" << testing::visible(r.out);
    EXPECT_EQ(r.err, "") << c.operation;
  }
}

}  // namespace
}  // namespace cxfun
