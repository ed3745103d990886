#include "vexa/model/command_editor.h"

#include <algorithm>

#include "vexa/base/strings.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"

namespace vexa {

bool CActionClipboard::holds(const CMD* action) const {
  return std::find(actions_.begin(), actions_.end(), action) != actions_.end();
}

void CActionClipboard::hold(Mode mode, CCmdArray& source, std::vector<CMD*> actions) {
  mode_ = mode;
  source_ = &source;
  actions_ = std::move(actions);
}

void CActionClipboard::forget(const CMD* action) {
  actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
  if (actions_.empty()) clear();
}

void CActionClipboard::forgetLayout(const CCmdArray& layout) {
  if (source_ == &layout) clear();
}

void CActionClipboard::clear() {
  mode_ = Mode::Empty;
  source_ = nullptr;
  actions_.clear();
}

std::string CCommandEditor::title() const { return "Command Definition -  " + command_->name(); }

void CCommandEditor::changed() {
  if (modified_) modified_();
}

bool CCommandEditor::anyLayoutSwitch(const Selection& s) const {
  const auto& actions = current_->actions();
  return std::any_of(s.begin(), s.end(),
                     [&](size_t p) { return p < actions.size() && isLayoutSwitch(actions[p]->typeName); });
}

bool CCommandEditor::canMoveUp(const Selection& s) const {
  const auto& actions = current_->actions();
  return !s.empty() && s.front() > 0 && actions.size() >= 2 && s.back() < actions.size() && !anyLayoutSwitch(s);
}

bool CCommandEditor::canMoveDown(const Selection& s) const {
  const auto& actions = current_->actions();
  if (s.empty() || actions.size() < 2 || s.back() + 1 >= actions.size() || anyLayoutSwitch(s)) return false;
  return !isLayoutSwitch(actions[s.back() + 1]->typeName);
}

Selection CCommandEditor::moveUp(const Selection& s) {
  if (!canMoveUp(s)) return s;
  auto& actions = current_->actions();
  Selection moved;
  for (size_t p : s) {
    std::swap(actions[p - 1], actions[p]);
    moved.push_back(p - 1);
  }
  current_->renumberActions();
  changed();
  return moved;
}

Selection CCommandEditor::moveDown(const Selection& s) {
  if (!canMoveDown(s)) return s;
  auto& actions = current_->actions();
  Selection moved(s.size());
  for (size_t i = s.size(); i-- > 0;) {
    std::swap(actions[s[i]], actions[s[i] + 1]);
    moved[i] = s[i] + 1;
  }
  current_->renumberActions();
  changed();
  return moved;
}

void CCommandEditor::deleteActions(const Selection& s) {
  auto& actions = current_->actions();
  for (auto it = s.rbegin(); it != s.rend(); ++it) {
    if (*it >= actions.size()) continue;
    clipboard_.forget(actions[*it].get());
    actions.erase(actions.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  current_->renumberActions();
  changed();
}

std::string CCommandEditor::uniqueActionName(const CCmdArray& layout, std::string_view wanted,
                                             const CMD* except) const {
  return makeUniqueName(wanted, [&](std::string_view candidate) {
    return std::any_of(layout.actions().begin(), layout.actions().end(),
                       [&](const auto& a) { return a.get() != except && iequals(a->name, candidate); });
  });
}

CMD& CCommandEditor::addAction(std::unique_ptr<CMD> action) {
  action->name = uniqueActionName(*current_, action->name, nullptr);
  CMD& added = current_->appendAction(std::move(action));
  changed();
  return added;
}

size_t CCommandEditor::actionEdited(size_t position) {
  auto& actions = current_->actions();
  if (position >= actions.size()) return position;
  CMD& action = *actions[position];
  action.name = uniqueActionName(*current_, action.name, &action);
  if (isLayoutSwitch(action.typeName) && position + 1 < actions.size()) {
    std::unique_ptr<CMD> moved = std::move(actions[position]);
    actions.erase(actions.begin() + static_cast<std::ptrdiff_t>(position));
    actions.push_back(std::move(moved));
    position = actions.size() - 1;
  }
  current_->renumberActions();
  changed();
  return position;
}

namespace {
std::vector<CMD*> selected(CCmdArray& layout, const Selection& s) {
  std::vector<CMD*> out;
  for (size_t p : s)
    if (p < layout.actions().size()) out.push_back(layout.actions()[p].get());
  return out;
}
}  // namespace

bool CCommandEditor::copy(const Selection& s) {
  std::vector<CMD*> actions = selected(*current_, s);
  if (actions.empty()) return false;
  clipboard_.hold(CActionClipboard::Mode::Copy, *current_, std::move(actions));
  return true;
}

bool CCommandEditor::cut(const Selection& s) {
  std::vector<CMD*> actions = selected(*current_, s);
  if (actions.empty()) return false;
  clipboard_.hold(CActionClipboard::Mode::Cut, *current_, std::move(actions));
  return true;
}

bool CCommandEditor::paste() {
  if (clipboard_.empty() || !current_) return false;
  const bool cutMode = clipboard_.mode() == CActionClipboard::Mode::Cut;
  if (cutMode && clipboard_.source() == current_) return false;
  CCmdArray* source = const_cast<CCmdArray*>(clipboard_.source());
  std::vector<CMD*> pasted;
  for (CMD* action : clipboard_.actions()) {
    std::unique_ptr<CMD> item;
    if (cutMode) {
      auto& from = source->actions();
      auto it = std::find_if(from.begin(), from.end(), [&](const auto& a) { return a.get() == action; });
      if (it == from.end()) continue;
      item = std::move(*it);
      from.erase(it);
    } else {
      item = std::make_unique<CMD>(*action);
    }
    item->name = uniqueActionName(*current_, item->name, nullptr);
    pasted.push_back(&current_->appendAction(std::move(item)));
  }
  if (cutMode) {
    source->renumberActions();
    clipboard_.hold(CActionClipboard::Mode::Copy, *current_, std::move(pasted));
  }
  changed();
  return true;
}

CCommandEditor::LayoutNameResult CCommandEditor::renameLayout(std::string_view name) {
  if (name.empty() || name == current_->layoutName()) return LayoutNameResult::Ignored;
  if (hasReservedChar(name)) return LayoutNameResult::ReservedChar;
  current_->setLayoutName(command_->uniqueLayoutName(name, current_));
  changed();
  return LayoutNameResult::Renamed;
}

CCmdArray& CCommandEditor::addLayout() {
  current_ = &command_->addLayout();
  changed();
  return *current_;
}

bool CCommandEditor::removeCurrentLayout() {
  CCmdArray* before = current_->previous();
  if (!before) return false;
  clipboard_.forgetLayout(*current_);
  std::unique_ptr<CCmdArray> removed = command_->removeLayout(*current_);
  if (!removed) return false;
  current_ = before;
  changed();
  return true;
}

void CCommandEditor::setHotKey(unsigned modifiers, unsigned virtualKey) {
  command_->setHotKey((modifiers << 16) + virtualKey);
  changed();
}

}  // namespace vexa
