#pragma once
// A command, or one layout of it. The layouts of a command form a chain whose
// first element stands for the command and owns the rest.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/model/cmd.h"

namespace vexa {

class CCmdArray {
 public:
  static constexpr uint32_t kAllowRepeat = 0x1;
  static constexpr uint32_t kDisableOsd = 0x2;
  static constexpr uint8_t kKind = 1;

  explicit CCmdArray(std::string name = {}, std::string layoutName = "Layout 1");
  CCmdArray(const CCmdArray&) = delete;
  CCmdArray& operator=(const CCmdArray&) = delete;
  ~CCmdArray();

  // Command-wide fields: read from this layout, written into every layout.
  const std::string& name() const { return name_; }
  int32_t index() const { return index_; }
  uint32_t hotKey() const { return hotKey_; }
  uint32_t flags() const { return flags_; }
  void setName(std::string_view name);
  void setIndex(int32_t index);
  void setHotKey(uint32_t hotKey);
  void setFlags(uint32_t flags);
  // Only this layout; loading reads these per layout.
  void setOwnFields(int32_t index, uint32_t hotKey, uint32_t flags);

  const std::string& layoutName() const { return layoutName_; }
  void setLayoutName(std::string name) { layoutName_ = std::move(name); }

  std::vector<std::unique_ptr<CMD>>& actions() { return actions_; }
  const std::vector<std::unique_ptr<CMD>>& actions() const { return actions_; }
  // Appends and sets the action's index to its position.
  CMD& appendAction(std::unique_ptr<CMD> action);
  // Positions follow list order after any edit.
  void renumberActions();

  // The chain.
  CCmdArray& first();
  const CCmdArray& first() const;
  CCmdArray* next() const { return next_.get(); }
  CCmdArray* previous() const { return previous_; }
  size_t layoutCount() const;
  CCmdArray* layoutAt(size_t number);
  const CCmdArray* layoutAt(size_t number) const;
  // 0-based number of `layout` in this command's chain, -1 if absent.
  int layoutNumber(const CCmdArray* layout) const;

  // Appends a layout to the end of the chain. Without a name it is called
  // "Layout %d" after the last layout's number or the count. The new layout
  // copies the command-wide fields; its name is made unique.
  CCmdArray& addLayout(std::optional<std::string> name = std::nullopt);
  // `wanted`, or "%s_%d" when another layout of the command has it.
  std::string uniqueLayoutName(std::string_view wanted, const CCmdArray* except = nullptr) const;
  // Takes a layout other than the first out of the chain; the active layout
  // falls back to the first when it was the one removed.
  std::unique_ptr<CCmdArray> removeLayout(CCmdArray& layout);

  CCmdArray* activeLayout() const { return first().active_; }
  int activeLayoutNumber() const { return layoutNumber(activeLayout()); }
  void setActiveLayout(CCmdArray* layout);
  bool switchToLayout(size_t number);

  // A deep copy of the whole command: every layout, its name and actions;
  // the copy's active layout has the same number.
  std::unique_ptr<CCmdArray> clone() const;

 private:
  std::string name_;
  int32_t index_ = -1;
  uint32_t hotKey_ = 0;
  uint32_t flags_ = 0;
  std::string layoutName_;
  std::vector<std::unique_ptr<CMD>> actions_;
  std::unique_ptr<CCmdArray> next_;
  CCmdArray* previous_ = nullptr;
  CCmdArray* active_ = this;
};

}  // namespace vexa
