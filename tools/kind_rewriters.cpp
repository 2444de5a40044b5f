#include "tools/kind_rewriters.h"

namespace railfmt {

const std::vector<KindRewriter>& KindRewriters() {
  static const std::vector<KindRewriter> rewriters = {};
  return rewriters;
}

const KindRewriter* FindKindRewriter(EntryKind kind) {
  for (const KindRewriter& r : KindRewriters()) {
    if (r.kind == kind) return &r;
  }
  return nullptr;
}

}  // namespace railfmt
