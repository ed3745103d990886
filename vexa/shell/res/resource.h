#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_VEXA 1
// Tray icons: no device, device ready, and the flash while a command starts.
#define IDI_TRAY_BUSY 545
#define IDI_TRAY_IDLE 546
#define IDI_TRAY_READY 547
