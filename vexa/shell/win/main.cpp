#include <windows.h>

#include "vexa/shell/win/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return vexa::shell::runApplication(instance);
}
