#include "vexa/model/cmd_array.h"

#include "vexa/base/strings.h"
#include "vexa/model/names.h"

namespace vexa {

CCmdArray::CCmdArray(std::string name, std::string layoutName)
    : name_(std::move(name)), layoutName_(std::move(layoutName)) {}

CCmdArray::~CCmdArray() {
  // Unlink iteratively so a long chain cannot exhaust the stack.
  std::unique_ptr<CCmdArray> rest = std::move(next_);
  while (rest) rest = std::move(rest->next_);
}

void CCmdArray::setName(std::string_view name) {
  for (CCmdArray* l = &first(); l; l = l->next()) l->name_ = name;
}
void CCmdArray::setIndex(int32_t index) {
  for (CCmdArray* l = &first(); l; l = l->next()) l->index_ = index;
}
void CCmdArray::setHotKey(uint32_t hotKey) {
  for (CCmdArray* l = &first(); l; l = l->next()) l->hotKey_ = hotKey;
}
void CCmdArray::setFlags(uint32_t flags) {
  for (CCmdArray* l = &first(); l; l = l->next()) l->flags_ = flags;
}
void CCmdArray::setOwnFields(int32_t index, uint32_t hotKey, uint32_t flags) {
  index_ = index;
  hotKey_ = hotKey;
  flags_ = flags;
}

CMD& CCmdArray::appendAction(std::unique_ptr<CMD> action) {
  action->index = static_cast<int32_t>(actions_.size());
  actions_.push_back(std::move(action));
  return *actions_.back();
}

void CCmdArray::renumberActions() {
  for (size_t i = 0; i < actions_.size(); ++i) actions_[i]->index = static_cast<int32_t>(i);
}

CCmdArray& CCmdArray::first() {
  CCmdArray* l = this;
  while (l->previous_) l = l->previous_;
  return *l;
}

const CCmdArray& CCmdArray::first() const {
  const CCmdArray* l = this;
  while (l->previous_) l = l->previous_;
  return *l;
}

size_t CCmdArray::layoutCount() const {
  size_t n = 0;
  for (const CCmdArray* l = &first(); l; l = l->next()) ++n;
  return n;
}

CCmdArray* CCmdArray::layoutAt(size_t number) {
  CCmdArray* l = &first();
  for (; l && number > 0; --number) l = l->next();
  return l;
}

const CCmdArray* CCmdArray::layoutAt(size_t number) const {
  return const_cast<CCmdArray*>(this)->layoutAt(number);
}

int CCmdArray::layoutNumber(const CCmdArray* layout) const {
  int n = 0;
  for (const CCmdArray* l = &first(); l; l = l->next(), ++n)
    if (l == layout) return n;
  return -1;
}

namespace {

// The number after the last blank of "Layout 3", when the name speaks of a
// layout and the number is not 0.
int trailingLayoutNumber(const std::string& name) {
  if (toLower(name).find("layout") == std::string::npos) return 0;
  const size_t blank = name.rfind(' ');
  if (blank == std::string::npos) return 0;
  return parseInt(std::string_view(name).substr(blank + 1));
}

}  // namespace

CCmdArray& CCmdArray::addLayout(std::optional<std::string> name) {
  CCmdArray* last = &first();
  while (last->next_) last = last->next_.get();
  if (!name) {
    const int number = trailingLayoutNumber(last->layoutName_);
    const long long next = number != 0 ? static_cast<long long>(number) + 1
                                        : static_cast<long long>(layoutCount()) + 1;
    name = "Layout " + std::to_string(next);
  }
  auto layout = std::make_unique<CCmdArray>(name_, uniqueLayoutName(*name));
  layout->setOwnFields(index_, hotKey_, flags_);
  layout->previous_ = last;
  layout->active_ = first().active_;
  last->next_ = std::move(layout);
  return *last->next_;
}

std::string CCmdArray::uniqueLayoutName(std::string_view wanted, const CCmdArray* except) const {
  return makeUniqueName(wanted, [&](std::string_view candidate) {
    for (const CCmdArray* l = &first(); l; l = l->next())
      if (l != except && iequals(l->layoutName_, candidate)) return true;
    return false;
  });
}

std::unique_ptr<CCmdArray> CCmdArray::removeLayout(CCmdArray& layout) {
  if (!layout.previous_ || layoutNumber(&layout) < 0) return nullptr;
  CCmdArray& head = first();
  const bool wasActive = head.active_ == &layout;
  CCmdArray* before = layout.previous_;
  std::unique_ptr<CCmdArray> removed = std::move(before->next_);
  before->next_ = std::move(removed->next_);
  if (before->next_) before->next_->previous_ = before;
  removed->previous_ = nullptr;
  removed->active_ = removed.get();
  if (wasActive) head.setActiveLayout(&head);
  return removed;
}

void CCmdArray::setActiveLayout(CCmdArray* layout) {
  for (CCmdArray* l = &first(); l; l = l->next()) l->active_ = layout;
}

bool CCmdArray::switchToLayout(size_t number) {
  if (number >= layoutCount()) return false;
  setActiveLayout(layoutAt(number));
  return true;
}

std::unique_ptr<CCmdArray> CCmdArray::clone() const {
  const CCmdArray& head = first();
  auto copy = std::make_unique<CCmdArray>(head.name_, head.layoutName_);
  CCmdArray* tail = copy.get();
  for (const CCmdArray* l = &head; l; l = l->next()) {
    if (l != &head) {
      auto layout = std::make_unique<CCmdArray>(l->name_, l->layoutName_);
      layout->previous_ = tail;
      tail->next_ = std::move(layout);
      tail = tail->next_.get();
    }
    tail->setOwnFields(l->index_, l->hotKey_, l->flags_);
    for (const auto& a : l->actions_) tail->actions_.push_back(std::make_unique<CMD>(*a));
  }
  const int active = head.activeLayoutNumber();
  copy->setActiveLayout(copy->layoutAt(active < 0 ? 0 : static_cast<size_t>(active)));
  return copy;
}

}  // namespace vexa
