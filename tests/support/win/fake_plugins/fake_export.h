#pragma once
// Fake device plug-ins for the device host's tests: plain exports, no name
// decoration, declared through the plug-ins' own export header so that a fake
// cannot drift from the contract either.
#include <windows.h>

#include <cstring>

#include "plugins/kit/exports.h"

#define FAKE_EXPORT extern "C" __declspec(dllexport)
// A fake export must have the contract's exact type, or the host would call it wrongly.
#define FAKE_MATCHES_CONTRACT(name) VEXA_EXPORT_MATCHES_CONTRACT(name)

using namespace vexa::abi;

inline char* fakeNameList(const char* names, size_t bytesWithFinalNul) {
  char* list = new char[bytesWithFinalNul];
  std::memcpy(list, names, bytesWithFinalNul);
  return list;
}
