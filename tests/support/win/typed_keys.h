#pragma once
// Keys as the keyboard gives them. SendInput marks its keys as injected, and
// the hook module takes injected keys for a program's own (they start no hot
// key); Wine's entry for its display driver's input does not mark them, so
// under Wine a test can type as a person does.
#include <windows.h>

#include <initializer_list>

namespace vexa::test {

struct TypedKey {
  WORD virtualKey;
  bool up = false;
};

// False when the entry is missing (not Wine) or refused a key.
bool typeKeys(std::initializer_list<TypedKey> keys);

}  // namespace vexa::test
