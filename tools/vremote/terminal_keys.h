#pragma once
// Keys from a terminal in raw mode: plain characters and the arrow sequences.
#include <termios.h>

#include <optional>
#include <string>

namespace vexa::vremote {

// Turns the terminal's byte stream into key names ("0".."9", "Up", "Space",
// "Enter", "q", "h" for hold, ...); nullopt while a sequence is incomplete or unknown.
class CKeyDecoder {
 public:
  std::optional<std::string> Feed(char c);

 private:
  std::string m_sequence;
};

// Raw mode for the life of the object.
class CRawTerminal {
 public:
  CRawTerminal();
  ~CRawTerminal();
  CRawTerminal(const CRawTerminal&) = delete;
  CRawTerminal& operator=(const CRawTerminal&) = delete;

 private:
  bool m_active = false;
  termios m_saved{};
};

}  // namespace vexa::vremote
