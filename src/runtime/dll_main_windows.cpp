// Process attach of cxfun.dll. The C run time's own start-up code has run by
// the time DllMain is called; the library adds the floating-point control
// its results assume for the loading thread: rounding to nearest and every
// exception masked, so infinities and NaN arise silently, and on 32-bit x86
// the 53-bit precision control for any x87 arithmetic. Thread attach and
// detach notifications are switched off. Nothing runs at unload.
#include <windows.h>

#include <float.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    unsigned int control = 0;
    _controlfp_s(&control, _RC_NEAR | _MCW_EM, _MCW_RC | _MCW_EM);
#if defined(__i386__) || defined(_M_IX86)
    // The precision control exists only on x86; on x64 the call would be
    // rejected as an invalid parameter.
    _controlfp_s(&control, _PC_53, _MCW_PC);
#endif
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
