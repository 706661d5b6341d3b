/* Host program for the Windows checks. It loads the cxfun library by name at
 * run time, as a Windows user's program does (LoadLibrary/GetProcAddress;
 * dlopen/dlsym on Linux), calls the exports that its arguments name and
 * prints the bit patterns each call read and wrote. The same source is built
 * for Linux and for Windows, so the two outputs can be compared byte for byte.
 *
 *   host_dll [-u] LIBRARY CALL...
 *
 * CALL is NAME:A:B, or log:A:B:BASE, with NAME the export without its
 * "cxfun_" prefix and each number a decimal, inf, -inf, nan or -0. It prints
 *   NAME(bits of A, bits of B) = (bits of result real, bits of result imaginary)
 * with the bits as 16 hexadecimal digits. Other calls:
 *   alias:NAME:B  an inverse function with the result real part at the
 *                 address of the first input, which holds 1 before the call;
 *   fpcontrol     the rounding mode and exception masks in force (Windows).
 * -u sets rounding upward before the library is loaded, so fpcontrol shows
 * what loading the library set.
 *
 * The host's first output line stays in the C run time's buffer, and an exit
 * handler prints a last line: both appear only if the process ends through
 * ordinary exit processing. */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <float.h>
#include <windows.h>
typedef HMODULE Library;
static Library open_library(const char* path) { return LoadLibraryA(path); }
static void (*find_export(Library library, const char* name))(void) {
  return (void (*)(void))GetProcAddress(library, name);
}
#else
#include <dlfcn.h>
#include <fenv.h>
typedef void* Library;
static Library open_library(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void (*find_export(Library library, const char* name))(void) {
  void (*function)(void) = NULL;
  void* symbol = dlsym(library, name);
  memcpy(&function, &symbol, sizeof function); /* object to function pointer */
  return function;
}
#endif

/* The exports use the C calling convention: on 32-bit x86 the caller
 * removes the arguments. */
typedef void (*Function4)(const double*, const double*, double*, double*);
typedef void (*Function5)(const double*, const double*, const double*, double*, double*);

static Library g_library;

static void print_bits(double value) {
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  char digits[17];
  for (int i = 15; i >= 0; --i) {
    digits[i] = "0123456789abcdef"[bits & 0xf];
    bits >>= 4;
  }
  digits[16] = '\0';
  fputs(digits, stdout);
}

static double parse_number(const char* text) {
  if (strcmp(text, "inf") == 0) return INFINITY;
  if (strcmp(text, "-inf") == 0) return -INFINITY;
  if (strcmp(text, "nan") == 0) return NAN;
  if (strcmp(text, "-0") == 0) return -0.0;
  return strtod(text, NULL);
}

static void (*export_named(const char* short_name))(void) {
  char name[32];
  snprintf(name, sizeof name, "cxfun_%s", short_name);
  void (*function)(void) = find_export(g_library, name);
  if (function == NULL) {
    printf("%s: not exported\n", name);
    exit(2);
  }
  return function;
}

static void print_fpcontrol(void) {
#ifdef _WIN32
  const unsigned int control = _controlfp(0, 0);
  const unsigned int rounding = control & _MCW_RC;
  printf("fpcontrol: rounding %s, exceptions %s\n",
         rounding == _RC_NEAR ? "nearest" : rounding == _RC_UP ? "up"
                                        : rounding == _RC_DOWN ? "down" : "zero",
         (control & _MCW_EM) == _MCW_EM ? "masked" : "unmasked");
#else
  const int rounding = fegetround();
  printf("fpcontrol: rounding %s\n", rounding == FE_TONEAREST ? "nearest" : "other");
#endif
}

/* Splits "a:b:c" in place into at most five fields; returns their number. */
static int split(char* text, char* fields[5]) {
  int count = 0;
  fields[count++] = text;
  for (char* p = text; *p != '\0'; ++p) {
    if (*p == ':' && count < 5) {
      *p = '\0';
      fields[count++] = p + 1;
    }
  }
  return count;
}

static void run_call(char* call) {
  char* fields[5];
  const int count = split(call, fields);
  double result[2] = {-1.0, -1.0};
  if (count == 1 && strcmp(fields[0], "fpcontrol") == 0) {
    print_fpcontrol();
    return;
  }
  if (count == 3 && strcmp(fields[0], "alias") == 0) {
    const Function4 function = (Function4)export_named(fields[1]);
    const double b = parse_number(fields[2]);
    double shared = 1.0; /* first input and result real part */
    function(&shared, &b, &shared, &result[1]);
    printf("alias %s(", fields[1]);
    print_bits(b);
    fputs(") = (", stdout);
    print_bits(shared);
  } else if (count == 4 && strcmp(fields[0], "log") == 0) {
    const Function5 function = (Function5)export_named("log");
    const double a = parse_number(fields[1]), b = parse_number(fields[2]);
    const double base = parse_number(fields[3]);
    function(&a, &b, &base, &result[0], &result[1]);
    fputs("log(", stdout);
    print_bits(a);
    fputs(", ", stdout);
    print_bits(b);
    fputs(", ", stdout);
    print_bits(base);
    fputs(") = (", stdout);
    print_bits(result[0]);
  } else if (count == 3) {
    const Function4 function = (Function4)export_named(fields[0]);
    const double a = parse_number(fields[1]), b = parse_number(fields[2]);
    function(&a, &b, &result[0], &result[1]);
    printf("%s(", fields[0]);
    print_bits(a);
    fputs(", ", stdout);
    print_bits(b);
    fputs(") = (", stdout);
    print_bits(result[0]);
  } else {
    printf("bad call %s\n", call);
    exit(2);
  }
  fputs(", ", stdout);
  print_bits(result[1]);
  fputs(")\n", stdout);
}

static void exit_handler(void) { fputs("host: exit handler ran\n", stdout); }

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && strcmp(argv[1], "-u") == 0) {
#ifdef _WIN32
    _controlfp(_RC_UP, _MCW_RC);
#else
    fesetround(FE_UPWARD);
#endif
    ++first;
  }
  if (argc <= first) {
    fputs("usage: host_dll [-u] LIBRARY CALL...\n", stderr);
    return 2;
  }
  atexit(exit_handler);
  fputs("host: start\n", stdout);
  g_library = open_library(argv[first]);
  if (g_library == NULL) {
    printf("host: cannot load %s\n", argv[first]);
    return 2;
  }
  for (int i = first + 1; i < argc; ++i) run_call(argv[i]);
  return 0;
}
