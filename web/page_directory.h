// The folder the web page runs railfmt over, held in memory: the files the
// browser read (with the bytes they had) and the names of its subfolders.
//
// Entry names are Windows-1252, as railfmt on Windows sees them: the page
// hands over each name the browser gives (UTF-8) through ListedName, which
// turns a character Windows-1252 lacks into '?'. The directory then decides
// as the Windows directory does: a name Windows treats as a device loads as
// a device, an invalid name (one with '?' included) as a missing entry, and
// neither, nor a subfolder, is ever made an output ("Can't open %s!\n").
//
// It keeps the bytes every file had when it was added, so that after a run
// it can say which outputs are new and which now differ from what was read
// (only those need writing back), and so that Restore can put the folder
// back as it was read for another run.
//
// A file may be named before its bytes come (the page reads while the run
// goes on): a run must not reach it until they do. One that does anyway
// (a load, a look or a store) is noted: the run is then not what railfmt
// would do and has to be made again once every file is in.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/directory.h"

namespace railfmt::web {

// The Windows-1252 entry name of a name in UTF-8 ('?' for each character
// it has no byte for, and for bytes that are not UTF-8).
std::string ListedName(std::string_view utf8);
// An entry name as people read it: its Windows-1252 characters in UTF-8.
std::string ShownName(std::string_view entry_name);

class PageDirectory final : public Directory {
 public:
  void AddFile(const std::string& name, std::span<const std::uint8_t> bytes);
  void AddFolder(const std::string& name);
  // A file whose bytes come later (Fill).
  void AddPendingFile(const std::string& name);
  void Fill(const std::string& name, std::span<const std::uint8_t> bytes);
  // A file still to come; false for any other name.
  bool IsPending(const std::string& name) const;
  // Whether a run reached a file still to come.
  bool ReachedPending() const { return reached_pending_; }

  bool IsFolder(const std::string& name) const;
  // The bytes of a file as they stand; null for a folder or no entry.
  const std::vector<std::uint8_t>* Find(const std::string& name) const;
  // The bytes a file had when it was added; null when it was not added.
  const std::vector<std::uint8_t>* Original(const std::string& name) const;
  // The entry whose output the last Load read, when the run stored it
  // before that load; empty when the load read a file as it was added.
  const std::string& LastLoadWrittenBy() const { return last_load_by_; }

  // What differs after a run from what was read, in the order first
  // written: files the run created, and added files whose bytes changed.
  struct Change {
    std::string name;
    bool created = false;
  };
  std::vector<Change> Changes() const;
  // Puts every file back as it was added and forgets the files a run made.
  void Restore();

  std::vector<std::string> ListNames() override { return names_; }
  LoadStatus Load(const std::string& name, LoadedEntry& entry) override;
  StoreOutcome Store(const std::string& name, std::span<const std::uint8_t> bytes, const LoadedEntry* source) override;
  StoreOutcome Preview(const std::string& name, std::span<const std::uint8_t> bytes,
                       const LoadedEntry* source) override;

 private:
  struct Entry {
    bool folder = false;
    bool added = false;  // read by the browser, not made by a run
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> original;  // what an added file held, once a store changed it
    bool replaced = false;               // original holds the bytes added
    std::uint64_t number = 0;            // stands for the file's identity
    std::int64_t generation = 0;         // counts the stores over it
    std::string written_by;              // the entry whose output a run stored here
    bool written = false;                // in written_
    bool pending = false;                // named, its bytes still to come
  };

  // Notes a run reaching a file still to come; true when it did.
  bool Reaches(const std::string& name);

  std::map<std::string, Entry> entries_;
  std::vector<std::string> names_;    // every entry added, in that order
  std::vector<std::string> written_;  // names stored to, in the order first written
  std::uint64_t numbers_ = 0;
  std::string last_load_by_;
  bool reached_pending_ = false;
};

}  // namespace railfmt::web
