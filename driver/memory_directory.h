// A directory held in memory: the web page's set of dropped files, run by
// the batch and replayed by railinspect's core exactly as a directory of the
// file system would be.
//
// Entries are listed in the order they were added. A store decides as on a
// file system: bytes an entry already holds are not written again (its
// identity stays), and an entry changed or gone since it was loaded is not
// written over. Every output a store leaves holding its bytes (created,
// replaced or unchanged) is noted once, so a front can hand out what the
// run produced.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "driver/directory.h"

namespace railfmt {

class MemoryDirectory final : public Directory {
 public:
  // Adds an entry, or gives an existing one new bytes.
  void Add(const std::string& name, std::span<const std::uint8_t> bytes);
  // The bytes of an entry; null when there is none.
  const std::vector<std::uint8_t>* Find(const std::string& name) const;
  // The names stores left holding their bytes, in the order first stored.
  const std::vector<std::string>& written() const { return written_; }

  std::vector<std::string> ListNames() override { return order_; }
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;
  StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                       const LoadedEntry* source) override;

 private:
  struct Entry {
    std::vector<std::uint8_t> bytes;
    std::uint64_t number = 0;     // stands for the file's identity
    std::int64_t generation = 0;  // counts the stores over it
    bool written = false;         // noted in written_
  };
  static FileIdentity IdentityOf(const Entry& entry);

  std::map<std::string, Entry> entries_;
  std::vector<std::string> order_;
  std::vector<std::string> written_;
};

}  // namespace railfmt
