#include "vexa/base/shared_text.h"

#include <ostream>

namespace vexa {

std::ostream& operator<<(std::ostream& out, const CSharedText& text) { return out << text.str(); }

}  // namespace vexa
