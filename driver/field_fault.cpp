#include "driver/field_fault.h"

#include <cstring>

namespace railfmt {

const FieldPlace* FieldFault::Within(const char* record) const {
  for (std::size_t i = depth(); i-- > 0;) {
    if (std::strcmp(places[i].record, record) == 0) return &places[i];
  }
  return nullptr;
}

std::size_t FieldFault::depth() const {
  std::size_t n = 0;
  while (n < places.size() && places[n].record != nullptr) ++n;
  return n;
}

}  // namespace railfmt
