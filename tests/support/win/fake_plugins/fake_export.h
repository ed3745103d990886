#pragma once
// Fake device plug-ins for the device host's tests: plain exports, no name decoration.
#include <windows.h>

#include <cstring>
#include <type_traits>

#include "vexa/device/plugin_abi.h"

#define FAKE_EXPORT extern "C" __declspec(dllexport)
// A fake export must have the contract's exact type, or the host would call it wrongly.
#define FAKE_MATCHES_CONTRACT(name) \
  static_assert(std::is_same_v<decltype(&name), name##Fn>, #name " differs from the plug-in contract")

using namespace vexa::abi;

inline char* fakeNameList(const char* names, size_t bytesWithFinalNul) {
  char* list = new char[bytesWithFinalNul];
  std::memcpy(list, names, bytesWithFinalNul);
  return list;
}
