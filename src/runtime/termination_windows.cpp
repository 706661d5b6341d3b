// Termination on Windows. A stop flushes every unit and ends the process with
// status 0. A fatal math error shows the run-time error message and ends the
// process with status 3. Both leave through exit(), so the host's exit
// handlers run and the C run time flushes its buffered streams.
#include <windows.h>

#include <cstdlib>

#include "runtime/checked_math.h"
#include "runtime/termination.h"
#include "runtime/units.h"

namespace cxfun {
namespace {

// The longest message, for a domain error of "atan2", has 53 characters.
constexpr int kMessageCapacity = 96;

int append(char* buffer, int length, const char* text) {
  while (*text != '\0' && length < kMessageCapacity - 1) buffer[length++] = *text++;
  return length;
}

// Builds the NUL-terminated message and returns its length.
int compose_message(char* buffer, const char* function, MathFault fault) {
  const bool domain = fault == MathFault::kDomain;
  int length = append(buffer, 0, "\r\nrun-time error M");
  length = append(buffer, length, domain ? "6201" : "6202");
  length = append(buffer, length, ": MATH\r\n- ");
  length = append(buffer, length, function);
  length = append(buffer, length, ": ");
  length = append(buffer, length, domain ? "DOMAIN" : "SING");
  length = append(buffer, length, " error\r\n");
  buffer[length] = '\0';
  return length;
}

// True when the host executable is built for the graphical subsystem, where
// no console shows standard error. The executable's PE header says so.
bool host_is_windowed() {
  const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
  if (image == nullptr) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

// Shows the message in a task-modal error box. user32.dll is loaded only
// here, so console hosts never map it. Returns false when no box was shown:
// MessageBoxA documents 0 for failure, and a box whose dialog cannot be
// created (no window station or display) returns -1, so only a button
// number counts as shown.
bool show_message_box(const char* text) {
  HMODULE user32 = LoadLibraryA("user32.dll");
  if (user32 == nullptr) return false;
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  // The detour through void(*)() tells the compiler the cast is intended.
  const auto message_box = reinterpret_cast<MessageBoxFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(user32, "MessageBoxA")));
  if (message_box == nullptr) return false;
  return message_box(nullptr, text, "run-time error ",
                     MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND) > 0;
}

// Writes the bytes as they are to the standard error handle: going around
// the C run time's text mode keeps "\r\n" from becoming "\r\r\n".
void write_standard_error(const char* text, int length) {
  HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  while (length > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, text, static_cast<DWORD>(length), &written, nullptr) || written == 0) {
      return;
    }
    text += written;
    length -= static_cast<int>(written);
  }
}

}  // namespace

void stop_process() {
  flush_units();
  call_process_end_hook({0, nullptr, false});
  std::exit(0);
}

void fatal_math_error(const char* function, MathFault fault) {
  call_process_end_hook({3, function, fault == MathFault::kDomain});
  char message[kMessageCapacity];
  const int length = compose_message(message, function, fault);
  if (!host_is_windowed() || !show_message_box(message)) write_standard_error(message, length);
  std::exit(3);
}

}  // namespace cxfun
