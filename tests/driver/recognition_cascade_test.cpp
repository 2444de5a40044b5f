#include "driver/recognition_cascade.h"

#include <gtest/gtest.h>

namespace railfmt {

// The kind an entry's name says, whatever the letter case Windows gave it:
// the inspector weighs it when it judges what a damaged file most likely is.
TEST(KindOfExtension, TheLastExtensionInAnyLetterCase) {
  struct Case {
    const char* name;
    EntryKind kind;
  };
  const Case cases[] = {
      {"lok.mod", EntryKind::kModel},
      {"LOK.MOD", EntryKind::kModel},
      {"zug.Rol", EntryKind::kRollingStock},
      {"bahnhof.KON", EntryKind::kConstruction},
      {"Anlage.ANL", EntryKind::kLayout},
      {"lok.mod.bak", EntryKind::kNone},
      {"mod", EntryKind::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KindOfExtension(c.name), c.kind) << c.name;
  }
}

}  // namespace railfmt
