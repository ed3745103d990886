#include "plugins/padrem/win/pointer_input.h"

#include <windows.h>

namespace vexa::padrem {

namespace {

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

void movePointer(const MovePointer& move) {
  if (move.dx || move.dy) sendMouse(MOUSEEVENTF_MOVE, move.dx, move.dy);
}

void pressButton(MouseButton button) {
  sendMouse(button == MouseButton::kLeft ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN);
}

void releaseButton(MouseButton button) {
  sendMouse(button == MouseButton::kLeft ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP);
}

}  // namespace vexa::padrem
