#include <sys/mman.h>

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "errors/text.h"

namespace cxfun {
namespace {

constexpr int kBuffer = 16;

// A buffer of exactly the given text, padded with '#' beyond it so that a
// write past the capacity named in a call would show.
struct Buffer {
  char bytes[kBuffer];
  explicit Buffer(const std::string& text) {
    std::memset(bytes, '#', kBuffer);
    std::memcpy(bytes, text.data(), text.size());
  }
  std::string str() const { return std::string(bytes, kBuffer); }
};

std::string padded(const std::string& text) {
  return text + std::string(kBuffer - text.size(), '#');
}

struct MoveCase {
  const char* src;
  int sf, sl, sc;
  const char* dst;
  int df, dl, dc;
  const char* expected;  // the destination afterwards
  int status;
  const char* why;
};

TEST(TextTest, MoveTable) {
  const MoveCase cases[] = {
      {"ABC", 1, 3, 3, ".....", 2, 5, 5, ".ABC ", 0, "shorter source is blank-filled"},
      {"ABC", 1, 3, 3, ".....", 1, 2, 5, "AB...", -1, "one character cut"},
      {"ABCDE", 1, 5, 5, ".....", 1, 2, 5, "AB...", -3, "three characters cut"},
      {"ABC", 2, 3, 3, ".....", 5, 5, 5, "....B", -1, "last position of the capacity"},
      {"ABC", 3, 3, 3, ".....", 1, 1, 5, "C....", 0, "single character"},
      {"ABC", 1, 3, 3, ".....", 1, 6, 5, ".....", -1, "destination beyond its capacity"},
      {"ABC", 0, 3, 3, ".....", 1, 3, 5, ".....", -2, "source first position 0"},
      {"ABC", 1, 3, 3, ".....", 3, 2, 5, ".....", -2, "destination range reversed"},
      {"ABC", 1, 3, 3, ".....", 0, 3, 5, ".....", -2, "destination first position 0"},
      {"ABC", 1, 4, 3, ".....", 1, 3, 5, ".....", -2, "source beyond its capacity"},
      {"ABC", 3, 2, 3, ".....", 1, 3, 5, ".....", -2, "source range reversed"},
      {"ABC", 1, 3, 3, ".....", 1, 3, -1, ".....", -1, "negative destination capacity"},
      {"ABC", INT_MIN, 3, 3, ".....", 1, 3, 5, ".....", -2, "most negative source position"},
      {"ABC", 1, 3, 3, ".....", INT_MIN, INT_MAX, 5, ".....", -2, "widest destination range"},
      {"ABC", 1, 3, 3, ".....", 1, INT_MAX, 5, ".....", -1, "destination to the largest position"},
      {"ABC", 1, INT_MAX, 3, ".....", 1, 3, 5, ".....", -2, "source past its capacity"},
      {"ABC", 1, 3, INT_MIN, ".....", 1, 3, 5, ".....", -2, "negative source capacity"},
      {"ABC", 1, 3, 3, ".....", 1, 3, INT_MAX, "ABC..", 0, "capacity larger than needed"},
  };
  for (const MoveCase& c : cases) {
    const Buffer src(c.src);
    Buffer dst(c.dst);
    int status = 99;
    TXMOVE(src.bytes, c.sf, c.sl, c.sc, dst.bytes, c.df, c.dl, c.dc, status);
    EXPECT_EQ(dst.str(), padded(c.expected)) << c.why;
    EXPECT_EQ(status, c.status) << c.why;
  }
}

// Moves inside one buffer, in both directions, with overlapping ranges.
TEST(TextTest, MoveWithinOneBuffer) {
  const struct {
    int sf, sl, df, dl;
    const char* expected;
    const char* why;
  } cases[] = {
      {3, 6, 1, 4, "CDEFEF", "down by two"},
      {1, 4, 3, 6, "ABABCD", "up by two"},
      {1, 5, 2, 6, "AABCDE", "up by one"},
      {2, 6, 1, 6, "BCDEF ", "down by one, blank-filled"},
      {1, 6, 1, 6, "ABCDEF", "onto itself"},
  };
  for (const auto& c : cases) {
    Buffer b("ABCDEF");
    int status = 99;
    TXMOVE(b.bytes, c.sf, c.sl, 6, b.bytes, c.df, c.dl, 6, status);
    EXPECT_EQ(b.str(), padded(c.expected)) << c.why;
    EXPECT_EQ(status, 0) << c.why;
  }
}

struct SearchCase {
  const char* s;
  int ns;
  const char* k;
  int nk;
  int expected;
  const char* why;
};

// Ranges that end at the largest int: the positions after the copied part
// and the status must not wrap around. The buffer is a 2 GiB reservation of
// which only the touched pages become memory.
TEST(TextTest, MoveAtTheLastIntPosition) {
  const std::size_t size = INT_MAX;
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(block, MAP_FAILED);
  char* big = static_cast<char*>(block);
  int status = 99;

  TXMOVE("AB", 1, 2, 2, big, INT_MAX, INT_MAX, INT_MAX, status);
  EXPECT_EQ(big[size - 1], 'A');
  EXPECT_EQ(status, -1);

  TXMOVE("A", 1, 1, 1, big, INT_MAX - 2, INT_MAX, INT_MAX, status);
  EXPECT_EQ(std::string(big + size - 3, 3), "A  ");
  EXPECT_EQ(status, 0);

  big[size - 1] = 'Z';
  char small[2] = {'x', 'y'};
  TXMOVE(big, INT_MAX, INT_MAX, INT_MAX, small, 1, 2, 2, status);
  EXPECT_EQ(std::string(small, 2), "Z ");
  EXPECT_EQ(status, 0);
  munmap(block, size);
}

TEST(TextTest, FindTable) {
  const SearchCase cases[] = {
      {"HELLO", 5, "LLO", 3, 3, "inside"},
      {"AAB", 3, "AB", 2, 2, "after a false start"},
      {"HELLO", 5, "l", 1, 0, "case matters"},
      {"HELLO", 5, "HELLO!", 6, 0, "key longer than the text"},
      {"HELLO", 5, "HELLO", 5, 1, "the whole text"},
      {"HELLO", 5, "O", 1, 5, "last position"},
      {"HELLO", 4, "O", 1, 0, "beyond the length is not searched"},
      {"ABAB", 4, "AB", 2, 1, "first occurrence wins"},
      {"HELLO", 5, "", 0, 0, "empty key"},
      {"HELLO", 0, "H", 1, 0, "empty text"},
      {"HELLO", -3, "H", -1, 0, "negative lengths"},
      {"HELLO", INT_MIN, "H", INT_MIN, 0, "most negative lengths"},
  };
  for (const SearchCase& c : cases) EXPECT_EQ(TXFIND(c.s, c.ns, c.k, c.nk), c.expected) << c.why;
}

TEST(TextTest, VerifyTable) {
  const SearchCase cases[] = {
      {"  AB", 4, " ", 1, 3, "first non-blank"},
      {"   ", 3, " ", 1, 0, "all blanks"},
      {"  ", 0, " ", 1, 1, "empty text"},
      {"  ", -2, " ", 1, 1, "negative length"},
      {"AB", 2, " ", 0, 1, "empty set"},
      {"BAC", 3, "ABC", 3, 0, "every character in the set"},
      {"BAxC", 4, "ABC", 3, 3, "one character outside"},
      {"  AB", 2, " ", 1, 0, "beyond the length is not looked at"},
      {"a", 1, "A", 1, 1, "case matters"},
  };
  for (const SearchCase& c : cases) EXPECT_EQ(TXVRFY(c.s, c.ns, c.k, c.nk), c.expected) << c.why;
}

TEST(TextTest, FindIgnoringCaseTable) {
  const SearchCase cases[] = {
      {"hello", 5, "LL", 2, 3, "letters of either case"},
      {"HeLLo", 5, "hElLO", 5, 1, "whole text, mixed case"},
      {".  a%/b", 7, "%/", 2, 5, "break mark"},
      {"xyZ", 3, "z", 1, 3, "last position"},
      {"aAa", 3, "A", 1, 1, "first occurrence wins"},
      {"[{", 2, "{", 1, 2, "only ASCII letters fold"},
      {"\xe9", 1, "\xc9", 1, 0, "no folding above code 127"},
      {"abc", 3, "abcd", 4, 0, "key longer than the text"},
      {"abc", 3, "", 0, 0, "empty key"},
      {"abc", -1, "a", 1, 0, "negative length"},
      {"*i1*2%50", 8, "*I1*", 4, 1, "parameter key"},
  };
  for (const SearchCase& c : cases) EXPECT_EQ(TXFNDI(c.s, c.ns, c.k, c.nk), c.expected) << c.why;
}

TEST(TextTest, CharacterCodes) {
  const struct {
    char c;
    int code, upper;
  } codes[] = {
      {'A', 65, 65}, {'a', 97, 65},   {'z', 122, 90}, {'{', 123, 123},
      {'`', 96, 96}, {'@', 64, 64},   {'\0', 0, 0},   {'\xff', 255, 255},
      {'\xe9', 233, 233},
  };
  for (const auto& c : codes) {
    EXPECT_EQ(TXCODE(&c.c), c.code) << "TXCODE of " << c.code;
    EXPECT_EQ(TXUPCD(&c.c), c.upper) << "TXUPCD of " << c.code;
  }
  const struct {
    int k, code;
  } chars[] = {{65, 65}, {321, 65}, {255, 255}, {256, 0}, {-5, 0}, {INT_MIN, 0}, {INT_MAX, 255}};
  for (const auto& c : chars) {
    char result = '#';
    TXCHAR(&result, c.k);
    EXPECT_EQ(static_cast<unsigned char>(result), c.code) << "TXCHAR of " << c.k;
  }
}

TEST(TextTest, CompareIgnoringCaseTable) {
  const SearchCase cases[] = {
      {"abc", 3, "ABC  ", 5, 0, "equal apart from case and padding"},
      {"ABC  ", 5, "abc", 3, 0, "the same, the other way round"},
      {"ABD", 3, "abc", 3, 1, "greater at the last character"},
      {"abc", 3, "ABD", 3, -1, "less at the last character"},
      {"AB", 2, "AB!", 3, -1, "'!' is above the blank"},
      {"AB!", 3, "AB", 2, 1, "the same, the other way round"},
      {"ab", 2, "AB\t", 3, 1, "a tab is below the blank"},
      {"AB\t", 3, "ab", 2, -1, "the same, the other way round"},
      {"", 0, "   ", 3, -1, "empty text before blanks"},
      {"   ", 3, "", 0, 1, "blanks after an empty text"},
      {"", 0, "", 0, 0, "two empty texts"},
      {"x", -1, "", 0, -1, "negative length below zero"},
      {"x", -2, "y", -2, 0, "equal negative lengths"},
      {"[", 1, "{", 1, -1, "only letters fold"},
      {"a", 1, "B", 1, -1, "letters compare by their upper case"},
      {"Zb", 2, "zA", 2, 1, "first difference decides"},
      {"\xe9", 1, "\xc9", 1, 1, "codes above 127 do not fold"},
  };
  for (const SearchCase& c : cases) EXPECT_EQ(TXCMPI(c.s, c.ns, c.k, c.nk), c.expected) << c.why;
}

TEST(TextTest, IntegerFieldTable) {
  const struct {
    int value, width;
    const char* expected;  // the field, written over '#'
    int status;
    const char* why;
  } cases[] = {
      {42, 5, "   42", 0, "right-justified"},
      {-42, 5, "  -42", 0, "sign before the first digit"},
      {0, 5, "    0", 0, "zero"},
      {0, 1, "0", 0, "zero in one column"},
      {7, 1, "7", 0, "one digit in one column"},
      {-5, 2, "-5", 0, "sign and digit fill the field"},
      {12345, 3, "345", 2, "lowest digits kept"},
      {-123, 3, "123", 1, "digits fit, the sign does not"},
      {-1234, 3, "234", 2, "digit and sign left over"},
      {-5, 1, "5", 1, "sign left over in one column"},
      {2147483647, 10, "2147483647", 0, "largest integer"},
      {2147483647, 14, "    2147483647", 0, "largest integer, wide field"},
      {INT_MIN, 11, "-2147483648", 0, "most negative integer"},
      {INT_MIN, 14, "   -2147483648", 0, "most negative integer, wide field"},
      {INT_MIN, 10, "2147483648", 1, "most negative integer, no room for the sign"},
      {INT_MIN, 5, "83648", 6, "most negative integer, narrow field"},
      {1234567, 6, "234567", 1, "one digit left over"},
      {42, 0, "", -1, "width 0 writes nothing"},
      {42, -3, "", -1, "negative width writes nothing"},
      {0, INT_MIN, "", -1, "most negative width writes nothing"},
  };
  for (const auto& c : cases) {
    Buffer field("");
    int status = 99;
    TXIFMT(c.value, field.bytes, c.width, status);
    EXPECT_EQ(field.str(), padded(c.expected)) << c.why;
    EXPECT_EQ(status, c.status) << c.why;
  }
}

}  // namespace
}  // namespace cxfun
