// cxfun: evaluates the library's functions from the command line.
//
//   cxfun FUNCTION OPERAND...     one call, one line "RE IM" on standard output
//   cxfun                         batch: lines "FUNCTION OPERAND..." from
//                                 standard input, one answer line each
//
// It is an ordinary host of the library: it loads libcxfun.so.1 with dlopen
// (first from its own directory, then from the usual search path) and looks
// each function up by name. Whatever the library prints goes through the same
// C stdio as the answers, and a process end inside the library ends cxfun
// with the library's exit status.
#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kLibrary = "libcxfun.so.1";
constexpr int kUsageError = 2;
constexpr int kLoadError = 1;

using FourAddressFunction = void (*)(const double*, const double*, double*, double*);
using FiveAddressFunction = void (*)(const double*, const double*, const double*, double*, double*);

struct Function {
  const char* name;
  const char* symbol;
  int operand_count;
  const char* operands;
  const char* description;
  void* entry = nullptr;  // null when the library does not export it
};

Function g_functions[] = {
    {"sqrt", "cxfun_sqrt", 2, "A B", "principal square root of A+iB"},
    {"ln", "cxfun_ln", 2, "A B", "principal natural logarithm of A+iB"},
    {"log", "cxfun_log", 3, "A B BASE", "logarithm of A+iB to the real base BASE"},
    {"cdlog", "cxfun_cdlog", 2, "X BASE", "logarithm of the real X to the real base BASE"},
    {"asin", "cxfun_asin", 2, "A B", "principal arcsine of A+iB"},
    {"acos", "cxfun_acos", 2, "A B", "principal arccosine of A+iB"},
    {"atan", "cxfun_atan", 2, "A B", "principal arctangent of A+iB"},
    {"asinh", "cxfun_asinh", 2, "A B", "inverse hyperbolic sine of A+iB"},
    {"acosh", "cxfun_acosh", 2, "A B", "inverse hyperbolic cosine of A+iB"},
    {"atanh", "cxfun_atanh", 2, "A B", "inverse hyperbolic tangent of A+iB"},
};

// The directory of the running executable, with a trailing slash, or "" if
// it cannot be found.
std::string executable_directory() {
  std::vector<char> path(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return "";
  const std::string exe(path.data(), static_cast<std::size_t>(n));
  const std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash + 1);
}

// Loads the library and looks up every function. On failure returns false
// with the loader's reason in *reason.
bool load_library(std::string* reason) {
  void* library = nullptr;
  const std::string directory = executable_directory();
  if (!directory.empty()) library = dlopen((directory + kLibrary).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* error = dlerror();
    *reason = error != nullptr ? error : "not found";
    return false;
  }
  for (Function& f : g_functions) f.entry = dlsym(library, f.symbol);
  return true;
}

const Function* find_function(const std::string& name) {
  for (const Function& f : g_functions) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

// A number in any form strtod reads (decimal, hexadecimal, inf, nan), taking
// the whole token. Out-of-range decimals round to infinity or zero as they
// would in any IEEE conversion.
bool parse_number(const std::string& token, double* value) {
  if (token.empty() || std::isspace(static_cast<unsigned char>(token[0]))) return false;
  char* end = nullptr;
  *value = std::strtod(token.c_str(), &end);
  return end == token.c_str() + token.size();
}

// The shortest decimal that reads back as the same double; NaN without sign.
std::string format_number(double value) {
  if (std::isnan(value)) return "nan";
  char buffer[64];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

void print_help() {
  std::printf(
      "usage: cxfun FUNCTION OPERAND...\n"
      "       cxfun < LINES        (each line \"FUNCTION OPERAND...\", blank lines skipped)\n"
      "\n"
      "Evaluates one of the functions of %s and prints the real and imaginary\n"
      "parts of the result on one line. Operands are decimal or hexadecimal numbers,\n"
      "inf, nan or -0.\n"
      "\n"
      "functions:\n",
      kLibrary);
  for (const Function& f : g_functions) {
    std::printf("  %-6s %-9s %s%s\n", f.name, f.operands, f.description,
                f.entry == nullptr ? " (not available yet)" : "");
  }
}

// Reports a problem on standard error, with the line number in batch mode.
void complain(int line, const std::string& text) {
  if (line > 0) {
    std::fprintf(stderr, "cxfun: line %d: %s\n", line, text.c_str());
  } else {
    std::fprintf(stderr, "cxfun: %s\n", text.c_str());
  }
}

// Evaluates one request: words[0] names the function, the rest are operands.
// Returns false after complaining if the request is not valid.
bool evaluate(const std::vector<std::string>& words, int line) {
  const Function* f = find_function(words[0]);
  if (f == nullptr) {
    complain(line, "unknown function '" + words[0] + "' (cxfun --help lists them)");
    return false;
  }
  const int given = static_cast<int>(words.size()) - 1;
  if (given != f->operand_count) {
    complain(line, std::string(f->name) + " takes " + std::to_string(f->operand_count) +
                       " operands (" + f->operands + "), not " + std::to_string(given));
    return false;
  }
  double operand[3] = {0.0, 0.0, 0.0};
  for (int i = 0; i < given; ++i) {
    if (!parse_number(words[static_cast<std::size_t>(i) + 1], &operand[i])) {
      complain(line, "malformed number '" + words[static_cast<std::size_t>(i) + 1] + "'");
      return false;
    }
  }
  if (f->entry == nullptr) {
    complain(line, std::string(f->name) + " is not available yet (" + kLibrary + " has no " +
                       f->symbol + ")");
    return false;
  }

  double re = 0.0;
  double im = 0.0;
  if (f->operand_count == 3) {
    reinterpret_cast<FiveAddressFunction>(f->entry)(&operand[0], &operand[1], &operand[2], &re,
                                                    &im);
  } else {
    reinterpret_cast<FourAddressFunction>(f->entry)(&operand[0], &operand[1], &re, &im);
  }
  std::printf("%s %s\n", format_number(re).c_str(), format_number(im).c_str());
  return true;
}

std::vector<std::string> split_words(const std::string& text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// Answers every line of standard input; a bad line is reported and skipped.
int run_batch() {
  int status = 0;
  char* buffer = nullptr;
  std::size_t capacity = 0;
  int line = 0;
  ssize_t length;
  while ((length = getline(&buffer, &capacity, stdin)) >= 0) {
    ++line;
    const std::vector<std::string> words =
        split_words(std::string(buffer, static_cast<std::size_t>(length)));
    if (words.empty()) continue;
    if (!evaluate(words, line)) status = kUsageError;
  }
  std::free(buffer);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const bool help =
      argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
  std::string reason;
  if (!load_library(&reason)) {
    if (help) print_help();
    complain(0, std::string("cannot load ") + kLibrary + ": " + reason);
    return kLoadError;
  }
  if (help) {
    print_help();
    return 0;
  }
  if (argc == 1) return run_batch();
  const std::vector<std::string> words(argv + 1, argv + argc);
  return evaluate(words, 0) ? 0 : kUsageError;
}
