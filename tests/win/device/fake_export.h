#pragma once
// Fake device plug-ins for the device host's tests: plain exports, no name decoration.
#include <windows.h>

#include <cstring>

#include "vexa/device/plugin_abi.h"

#define FAKE_EXPORT extern "C" __declspec(dllexport)

using namespace vexa::abi;

inline char* fakeNameList(const char* names, size_t bytesWithFinalNul) {
  char* list = new char[bytesWithFinalNul];
  std::memcpy(list, names, bytesWithFinalNul);
  return list;
}
