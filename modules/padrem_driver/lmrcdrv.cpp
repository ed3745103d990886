// The driver core the vendor's remote library sits on; here it only has to load.
#include <windows.h>

extern "C" DWORD WINAPI DriverVersion() { return 0x0100; }
