#pragma once
// The pad's effect on the system pointer: relative moves and button clicks.
#include "plugins/padrem/packet_decoder.h"

namespace vexa::padrem {

void movePointer(const MovePointer& move);
void pressButton(MouseButton button);
void releaseButton(MouseButton button);

}  // namespace vexa::padrem
