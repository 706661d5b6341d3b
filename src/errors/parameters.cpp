// Message parameters. A reporting routine stores the values its message needs
// under a kind letter and an index 1..9, each as one entry appended to the
// parameter store of the error state:
//
//   "*" kind index "*"   length in decimal   "%"   text
//   e.g. *I1*2%50   *L3*4%AB
//
// Composing a message replaces each placeholder "%(" kind index ")" that has
// a stored value by that value's text. The store is read entry by entry from
// its start, so text inside a stored value is never taken for a key. All
// working texts are fixed arrays; nothing is allocated.
#include "errors/parameters.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "errors/error_state.h"
#include "errors/text.h"
#include "machine/machine.h"

namespace cxfun {

namespace {

constexpr char kBlank[1] = {' '};
constexpr int kTextParamCapacity = 255;
constexpr int kIntegerField = 14;
constexpr int kDoubleField = 24;
constexpr int kComplexText = 1 + kDoubleField + 1 + kDoubleField + 1;

// The used part of the store, 1 (empty) to its capacity, whatever the field holds.
int used_store_end() {
  const int end = g_error_state.param_end;
  if (end < 1) return 1;
  return end < kParamCapacity ? end : kParamCapacity;
}

// Renders a double as the message texts show it: 16 significant digits with a
// two-digit exponent after "D" or, beyond 99, a three-digit exponent with no
// letter ('1.500000000000000D+00', '-1.000000000000000+300'); zeros keep their
// sign; 'Infinity', '-Infinity' and 'NaN' (of either sign). Returns the length.
int render_double(double v, char* out) {
  int n = 0;
  if (std::isnan(v)) {
    std::memcpy(out, "NaN", 3);
    return 3;
  }
  if (std::signbit(v)) out[n++] = '-';
  if (std::isinf(v)) {
    std::memcpy(out + n, "Infinity", 8);
    return n + 8;
  }
  // printf rounds the exact binary value to 16 digits, halfway cases to even,
  // and moves to the next exponent when the rounding carries (the double
  // nearest 1e99 lies just below it and gives 1.000000000000000e+99). Only the
  // digits and the exponent are taken from its text, so the locale's decimal
  // point does not matter.
  char text[40];
  const int length = std::snprintf(text, sizeof text, "%.15e", std::fabs(v));
  char digits[16];
  int count = 0;
  int k = 0;
  for (; k < length && text[k] != 'e' && text[k] != 'E'; ++k) {
    if (text[k] >= '0' && text[k] <= '9' && count < 16) digits[count++] = text[k];
  }
  int exponent = 0;
  const bool negative_exponent = k + 1 < length && text[k + 1] == '-';
  for (k += 2; k < length; ++k) exponent = 10 * exponent + (text[k] - '0');

  out[n++] = digits[0];
  out[n++] = '.';
  for (int d = 1; d < 16; ++d) out[n++] = digits[d];
  if (exponent <= 99) out[n++] = 'D';
  out[n++] = negative_exponent ? '-' : '+';
  if (exponent > 99) out[n++] = static_cast<char>('0' + exponent / 100);
  out[n++] = static_cast<char>('0' + exponent / 10 % 10);
  out[n++] = static_cast<char>('0' + exponent % 10);
  return n;
}

// Finds the entry stored under key (4 characters, kind compared without
// regard to case), walking the store from its first entry; the first match
// wins. Gives the position and length of the entry's text.
bool find_entry(const char* key, int& text_first, int& text_length) {
  const char* store = g_error_state.param_store;
  const int end = used_store_end();
  int p = 1;
  // Each entry has at least its key, one length digit and the "%".
  while (p + 5 <= end) {
    const int room = end - (p + 4) + 1 < 4 ? end - (p + 4) + 1 : 4;
    int length = 0;
    int status = 0;
    TXRDIN(store + (p + 3), room, length, status);
    // status is the position of the "%" after the digits.
    if (status < 2 || status > room || store[p + 2 + status] != '%' || length < 0) return false;
    const int first = p + 4 + status;
    if (length > end - first + 1) return false;
    if (TXCMPI(store + (p - 1), 4, key, 4) == 0) {
      text_first = first;
      text_length = length;
      return true;
    }
    p = first + length;
  }
  return false;
}

// msg(1:5) is "%(", a kind letter of the set ACDIKLRSZ in either case, a
// digit 1 to 9 and ")".
bool is_placeholder(const char* msg) {
  if (msg[0] != '%' || msg[1] != '(' || msg[4] != ')') return false;
  int index = 0;
  int status = 0;
  TXRDIN(msg + 3, 1, index, status);
  return status == 0 && index != 0 && TXFNDI("ACDIKLRSZ", 9, msg + 2, 1) != 0;
}

}  // namespace

void ERPUT(const char* kind, int index, int length, const char* text) {
  ErrorState& s = g_error_state;
  // A negative length is an empty text.
  const int given = length > 0 ? length : 0;
  const int end = used_store_end();
  if (index == 0 || index < -9 || index > 9) return;
  if (static_cast<long long>(end) + given + 8 > kParamCapacity) return;

  const int p = end == 1 ? 1 : end + 1;
  int status = 0;
  const char key[4] = {'*', kind[0], static_cast<char>('0' + (index < 0 ? -index : index)), '*'};
  TXMOVE(key, 1, 4, 4, s.param_store, p, p + 3, kParamCapacity, status);

  // A positive index drops trailing blanks; a text of blanks only, or an
  // empty one, is then stored as one blank. A negative index keeps the text
  // as given.
  const char* stored = text;
  int stored_length = given;
  if (index > 0) {
    while (stored_length > 0 && text[stored_length - 1] == ' ') --stored_length;
    if (stored_length == 0) {
      stored = kBlank;
      stored_length = 1;
    }
  }

  const int digits = stored_length < 10 ? 1 : stored_length < 100 ? 2 : 3;
  char length_text[3];
  TXIFMT(stored_length, length_text, digits, status);
  TXMOVE(length_text, 1, digits, 3, s.param_store, p + 4, p + 3 + digits, kParamCapacity, status);
  TXMOVE("%", 1, 1, 1, s.param_store, p + 4 + digits, p + 4 + digits, kParamCapacity, status);
  if (stored_length > 0) {
    TXMOVE(stored, 1, stored_length, stored_length, s.param_store, p + 5 + digits,
           p + 4 + digits + stored_length, kParamCapacity, status);
  }
  s.param_end = p + 4 + digits + stored_length;
}

void ERPUTI(int index, int value) {
  static const bool state_ready = [] {
    ERINIT();
    return true;
  }();
  (void)state_ready;

  char field[kIntegerField];
  int status = 0;
  TXIFMT(value, field, kIntegerField, status);
  const int first = TXVRFY(field, kIntegerField, " ", 1);
  if (status == 0 && index >= 1 && index <= 9) {
    ERPUT("I", index, kIntegerField + 1 - first, field + (first - 1));
  }
}

void ERPUTL(int index, const char* text, int length) {
  static const bool state_ready = [] {
    ERINIT();
    return true;
  }();
  (void)state_ready;

  // The text is copied first, so that it may even lie in the store itself.
  const int n = length < kTextParamCapacity ? length : kTextParamCapacity;
  char work[kTextParamCapacity];
  if (n > 0) {
    int status = 0;
    TXMOVE(text, 1, n, n, work, 1, n, kTextParamCapacity, status);
  }
  if (index != 0 && index >= -9 && index <= 9) ERPUT("L", index, n, work);
}

void ERPUTZ(int index, const Complex& z) {
  static const bool state_ready = [] {
    ERINIT();
    return true;
  }();
  (void)state_ready;

  char text[kComplexText];
  int n = 0;
  text[n++] = '(';
  n += render_double(z.re, text + n);
  text[n++] = ',';
  n += render_double(z.im, text + n);
  text[n++] = ')';
  if (index >= 1 && index <= 9) ERPUT("Z", index, n, text);
}

void TXRDIN(const char* s, int n, int& value, int& status) {
  value = 0;
  if (n <= 0) {
    status = -1;
    return;
  }
  int i = 1;
  while (i <= n && s[i - 1] == ' ') ++i;
  if (i > n) {
    status = 1;
    return;
  }
  const int f = i;
  int sign = 1;
  if (s[i - 1] == '-' || s[i - 1] == '+') {
    if (s[i - 1] == '-') sign = -1;
    ++i;
    if (i > n) {
      status = f;
      return;
    }
    while (i <= n && s[i - 1] == ' ') ++i;
    if (i > n) {
      status = f;
      return;
    }
  }
  bool read_any = false;
  while (i <= n && s[i - 1] == '0') {
    ++i;
    read_any = true;
  }
  if (i > n) {
    status = 0;
    return;
  }
  const int largest = IMACH(5);
  while (i <= n && s[i - 1] >= '0' && s[i - 1] <= '9') {
    const int d = s[i - 1] - '0';
    // Taking d must keep the value within the largest integer.
    if ((largest - d) / 10 < value) {
      status = -2;
      return;
    }
    value = 10 * value + d;
    read_any = true;
    ++i;
  }
  if (i > n) {
    value *= sign;
    status = 0;
  } else if (read_any) {
    value *= sign;
    status = i;
  } else {
    status = f;
  }
}

void compose_message(const char* msg, int length) {
  ErrorState& s = g_error_state;
  char* message = s.message;
  const int ml = length < kMessageCapacity ? length : kMessageCapacity;
  message[0] = '.';
  message[1] = ' ';
  message[2] = ' ';
  int out = 3;  // characters composed so far

  int i = 1;
  while (i <= ml - 4) {
    int first = 0;
    int stored = 0;
    if (is_placeholder(msg + (i - 1))) {
      const char key[4] = {'*', msg[i + 1], msg[i + 2], '*'};
      if (find_entry(key, first, stored)) {
        const int n = stored < kMessageCapacity - out ? stored : kMessageCapacity - out;
        int status = -1;
        TXMOVE(s.param_store, first, first + n - 1, used_store_end(), message, out + 1, out + n,
               kMessageCapacity, status);
        if (status == 0) {
          out += n;
          i += 5;
          if (out == kMessageCapacity) {
            s.message_length = out;  // the rest of msg does not fit
            return;
          }
          continue;
        }
      }
    }
    // No placeholder, no stored value, or no room: the character as written.
    if (out < kMessageCapacity) message[out++] = msg[i - 1];
    ++i;
  }
  // The last four characters cannot start a placeholder.
  for (; i <= ml && out < kMessageCapacity; ++i) message[out++] = msg[i - 1];
  s.message_length = out;
}

}  // namespace cxfun
