// Message parameters, message composition and the printer with arbitrary
// routine names, parameters and message texts. A model of the parameter store
// follows every store operation byte for byte; the composed message is
// compared with the model's composition; the printed lines are checked from
// the outside (width, header, every character, traceback). Fields of the
// error state that an operation must not touch are compared before and
// after, so a write past the end of one field into the next shows.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "errors/error_state.h"
#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "harness.h"
#include "printed_message.h"

namespace cxfun::fuzz {
namespace {

int upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// Text from the input; a line feed would split a printed record in two for
// the checks, so it is replaced.
std::string text(InputReader& in, int length) {
  std::string t;
  for (int k = 0; k < length; ++k) {
    const char c = static_cast<char>(in.byte());
    t += c == '\n' ? '!' : c;
  }
  return t;
}

struct Entry {
  unsigned char kind;
  int index;  // 1 to 9
  std::string text;
};

// The parameter store as its contract describes it.
class StoreModel {
 public:
  void put(char kind, int index, int length, const std::string& t) {
    const int given = length > 0 ? length : 0;
    const int end = used_ == 0 ? 1 : used_;
    if (index == 0 || index < -9 || index > 9 || end + given + 8 > kParamCapacity) return;
    std::string stored = t.substr(0, static_cast<std::size_t>(given));
    if (index > 0) {
      stored.erase(stored.find_last_not_of(' ') + 1);
      if (stored.empty()) stored = " ";
    }
    const int magnitude = index < 0 ? -index : index;
    bytes_ += std::string{'*', kind, static_cast<char>('0' + magnitude), '*'} +
              std::to_string(stored.size()) + "%" + stored;
    used_ = static_cast<int>(bytes_.size());
    entries_.push_back({static_cast<unsigned char>(kind), magnitude, stored});
  }

  void clear() {
    bytes_.clear();
    entries_.clear();
    used_ = 0;
  }

  int param_end() const { return used_ == 0 ? 1 : used_; }
  const std::string& bytes() const { return bytes_; }

  // The first entry stored under the kind (either case) and index.
  const Entry* find(unsigned char kind, int index) const {
    for (const Entry& e : entries_) {
      if (upper(e.kind) == upper(kind) && e.index == index) return &e;
    }
    return nullptr;
  }

 private:
  std::string bytes_;
  std::vector<Entry> entries_;
  int used_ = 0;
};

bool is_placeholder(const std::string& msg, std::size_t i) {
  const char kind = static_cast<char>(upper(static_cast<unsigned char>(msg[i + 2])));
  return msg[i] == '%' && msg[i + 1] == '(' && msg[i + 4] == ')' && msg[i + 3] >= '1' &&
         msg[i + 3] <= '9' && std::string_view("ACDIKLRSZ").find(kind) != std::string_view::npos;
}

// ".  " and the message with each placeholder that has a stored value
// replaced by it, cut at 1024 characters.
std::string composed(const std::string& argument, const StoreModel& store) {
  constexpr std::size_t kCapacity = kMessageCapacity;
  const std::string msg = argument.substr(0, kCapacity);
  std::string out = ".  ";
  std::size_t i = 0;
  for (; i + 5 <= msg.size(); ++i) {
    if (is_placeholder(msg, i)) {
      const Entry* e = store.find(static_cast<unsigned char>(msg[i + 2]), msg[i + 3] - '0');
      if (e != nullptr) {
        const std::size_t n = std::min(e->text.size(), kCapacity - out.size());
        if (n > 0) {
          out += e->text.substr(0, n);
          if (out.size() == kCapacity) return out;
          i += 4;
          continue;
        }
      }
    }
    if (out.size() < kCapacity) out += msg[i];
  }
  for (; i < msg.size() && out.size() < kCapacity; ++i) out += msg[i];
  return out;
}

void check_store(const StoreModel& store, const char* operation) {
  const ErrorState& s = g_error_state;
  check(
      s.param_end == store.param_end(), operation,
      "param_end " + std::to_string(s.param_end) + ", model " + std::to_string(store.param_end()));
  check(std::string(s.param_store, store.bytes().size()) == store.bytes(), operation,
        "store differs from the model");
}

double any_double(InputReader& in) {
  // Mostly ordinary values; sometimes any bit pattern.
  const unsigned char selector = in.byte();
  if (selector < 128) return (static_cast<int>(in.byte()) - 128) / 8.0;
  return in.value<double>();
}

void run_input(InputReader& in) {
  // The routine-name stack: 1 to 49 routines above the user level.
  std::vector<Level> stack = {{stored_name("USER"), 0, 0}};
  const int pushes = 1 + in.byte() % 49;
  for (int p = 0; p < pushes; ++p) {
    const int length = static_cast<int>(in.byte() % 41) - 1;
    const std::string name = text(in, length > 0 ? length : 0);
    E1PSH(name.data(), length);
    stack.push_back({stored_name(name.substr(0, length > 0 ? length : 0)), 0, 0});
  }

  StoreModel store;
  const int stores = in.byte() % 8;
  for (int k = 0; k < stores; ++k) {
    const unsigned char op = in.byte();
    const int index = op & 0x80 ? in.value<int>() : static_cast<int>(in.byte() % 23) - 11;
    switch (op % 4) {
      case 0: {
        const int value = in.value<int>();
        ERPUTI(index, value);
        if (index >= 1 && index <= 9) {
          const std::string digits = std::to_string(value);
          store.put('I', index, static_cast<int>(digits.size()), digits);
        }
        break;
      }
      case 1: {
        const int length = (in.byte() % 2 ? in.value<std::uint16_t>() % 400 : in.byte() % 20) - 2;
        const std::string t = text(in, length > 0 ? length : 0);
        ERPUTL(index, t.data(), length);
        const int n = length < 255 ? length : 255;
        if (index != 0 && index >= -9 && index <= 9) store.put('L', index, n, t);
        break;
      }
      case 2: {
        const Complex z{any_double(in), any_double(in)};
        ERPUTZ(index, z);
        const std::string t = rendered(z.re, z.im);
        if (index >= 1 && index <= 9) store.put('Z', index, static_cast<int>(t.size()), t);
        break;
      }
      default: {
        const char kind = static_cast<char>(in.byte());
        const int length = static_cast<int>(in.byte() % 2 ? in.byte() : in.byte() % 20) - 2;
        const std::string t = text(in, length > 0 ? length : 0);
        ERPUT(&kind, index, length, t.data());
        store.put(kind, index, length, t);
        break;
      }
    }
    check_store(store, "parameter store");
  }

  // The message: any length up to a little beyond the 1024 that are kept.
  int type = static_cast<int>(in.byte() % 11) - 2;  // -2 and 8 are illegal types
  const unsigned char code_selector = in.byte();
  const int code = code_selector < 200 ? code_selector % 12 : in.value<int>();
  const int length = in.byte() & 1 ? in.value<std::uint16_t>() % 1100 : in.byte() % 160;
  std::string msg = text(in, length);
  // Placeholders the stored values can fill, at positions the input chooses.
  for (int k = in.byte() % 4; k > 0 && length >= 5; --k) {
    const std::size_t at = in.value<std::uint16_t>() % (length - 4);
    const char kinds[] = "IiLlZzR";
    msg.replace(
        at, 5,
        std::string("%(") + kinds[in.byte() % 7] + static_cast<char>('0' + in.byte() % 10) + ")");
  }

  ErrorState before = g_error_state;
  const int depth = static_cast<int>(stack.size());
  Level& top = stack.back();
  const bool illegal = type < -1 || type > 7;
  const bool keep_text = length == 0 || (length == 1 && msg[0] == ' ');
  std::string expected;
  if (illegal) {
    expected = ".  Error from E1MES.  Illegal error type specified.";
  } else {
    if (type != -1) top.type = type;
    if (code >= 0) top.code = code;
    if (type != 0 && code != 0 && !keep_text) expected = composed(msg, store);
  }

  const Outcome outcome = run_trapped([&] {
    E1MES(type, code, msg.data(), length);
    // Types below 5 wait to be printed; print them here.
    ERPRNT();
  });
  const std::string printed = printed_bytes();
  const std::string what = "type " + std::to_string(type) + " code " + std::to_string(code) +
                           " length " + std::to_string(length);

  check(outcome.ended == illegal, "only an illegal type ends the process", what);
  if (outcome.ended) check(outcome.end.status == 0, "an illegal type is a stop", what);
  if (!illegal) {
    check(std::string(g_error_state.message, expected.size()) == expected, "composed message",
          what + "\nexpected: " + expected);
    check(g_error_state.message_length == 0, "a printed message is consumed", what);
    check(g_error_state.param_end == 1, "the store is emptied", what);
  }
  if (expected.empty()) {
    check(printed.empty(), "nothing to print", what + "\n" + printed);
  } else {
    check_printed_message(printed, top.type, top.code, expected, stack);
  }

  // Nothing outside the message, the switches of the top level and the
  // store's end may change.
  const ErrorState& after = g_error_state;
  check(std::memcmp(before.routine_name, after.routine_name, sizeof before.routine_name) == 0 &&
            std::memcmp(before.param_store, after.param_store, sizeof before.param_store) == 0 &&
            std::memcmp(before.user_called, after.user_called, sizeof before.user_called) == 0 &&
            before.depth == after.depth && before.depth_limit == after.depth_limit,
        "a field outside the message changed", what);
  for (int level = 1; level <= kDepthLimit + 1; ++level) {
    if (level == depth) continue;
    check(before.level_type[level] == after.level_type[level] &&
              before.level_code[level] == after.level_code[level],
          "another level's type or code changed", what);
  }
}

}  // namespace
}  // namespace cxfun::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cxfun::fuzz::set_up_harness();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace cxfun::fuzz;
  restore_fresh_state();
  InputReader in(data, size);
  run_input(in);
  return 0;
}
