#pragma once
// What the command tree's Copy and Cut hold: one command item.

namespace vexa {

class CCmdItem;

class CTreeClipboard {
 public:
  enum class Mode { Empty, Copy, Cut };

  Mode mode() const { return mode_; }
  CCmdItem* item() const { return item_; }
  bool holds() const { return mode_ != Mode::Empty; }

  void hold(CCmdItem& item, Mode mode) {
    item_ = &item;
    mode_ = mode;
  }
  void clear() {
    item_ = nullptr;
    mode_ = Mode::Empty;
  }
  // The held item must never outlive its place in the tree.
  void forgetIfWithin(const CCmdItem& removed);

 private:
  Mode mode_ = Mode::Empty;
  CCmdItem* item_ = nullptr;
};

}  // namespace vexa
