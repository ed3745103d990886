#pragma once
// Names and small rules the engine applies to commands and applications.
#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr std::string_view kExecTerminateEvent = "VexaExecTerminate";
inline constexpr std::string_view kExecThreadListMutex = "VexaExecThreadExit";
inline constexpr std::string_view kGenericExecMutex = "ExcMtxGeneric";
inline constexpr size_t kMaxKernelObjectName = 259;  // MAX_PATH less the terminator

// "ExcMtx" + remote + command, or "ExcMtxGeneric" for a command given as an
// object. Long names are cut to what a kernel object name can hold, with a
// hash of the whole so that two long names cannot share a mutex.
std::string commandMutexName(std::string_view remote, std::string_view command, bool direct);

// File name without folder: "player.exe". Two files are the same
// application when their keys are equal ignoring case.
std::string processKey(std::string_view fileName);
// A name ending in "dll" is a module loaded by some process.
bool isModuleApplication(std::string_view fileName);
// "n/a" (any case) and the empty text stand for no application.
bool isNoApplication(std::string_view fileName);

}  // namespace vexa
