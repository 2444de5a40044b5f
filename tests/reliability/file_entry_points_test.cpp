// The path-taking readers and writers of every kind, side by side: a sample
// stored in a file reads as the in-memory reader reads its bytes and is
// written as the in-memory rewrite gives it; what cannot be read as a
// regular file, or written, is reported once with its path.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/model_file.h"
#include "construction/construction_file.h"
#include "layout/layout_file.h"
#include "rollingstock/rolling_stock_file.h"
#include "tests/support/capture.h"
#include "tests/support/kind_samples.h"
#include "tests/support/scratch_dir.h"
#include "tools/kind_rewriters.h"

namespace railfmt {
namespace {

using testing::CapturedOutput;
using testing::ScratchDir;

// Reads path with the kind's path-taking reader and, when it succeeds,
// writes what it read to output with the kind's path-taking writer.
// Returns the reader's success flag.
using ReadThenWrite = std::function<bool(const std::string& path, const std::string& output)>;

template <typename Object, typename Reader, typename Writer, typename Flag>
ReadThenWrite Through(Reader read, Writer write, Flag flag) {
  return [=](const std::string& path, const std::string& output) {
    Object object;
    read(object, path);
    if (object.*flag != 1) return false;
    write(object, output);
    return true;
  };
}

struct KindEntryPoints {
  EntryKind kind;
  ReadThenWrite read_then_write;
};

const std::vector<KindEntryPoints>& AllEntryPoints() {
  static const std::vector<KindEntryPoints> all = {
      {EntryKind::kRollingStock,
       Through<CRollmaterial>(&ReadRollingStockFile, &WriteRollingStockFile, &CRollmaterial::Complete)},
      {EntryKind::kModel, Through<CModell>(&ReadModelFile, &WriteModelFile, &CModell::ReadOk)},
      {EntryKind::kConstruction,
       Through<CKonstruktion>(&ReadConstructionFile, &WriteConstructionFile, &CKonstruktion::ReadOk)},
      {EntryKind::kLayout, Through<CAnlage>(&ReadLayoutFile, &WriteLayoutFile, &CAnlage::ReadOk)},
  };
  return all;
}

TEST(FileEntryPoints, ReadAndWriteEverySampleAsTheInMemoryRewriteDoes) {
  ScratchDir dir;
  int checked = 0;
  for (const testing::KindSample& s : testing::RecognisedSamples()) {
    SCOPED_TRACE(s.sample.name);
    for (const KindEntryPoints& k : AllEntryPoints()) {
      if (k.kind != s.kind) continue;
      dir.Write("in", s.sample.bytes);
      CapturedOutput quiet;
      ASSERT_TRUE(k.read_then_write("in", "out"));
      EXPECT_EQ(dir.Read("out"), FindKindRewriter(s.kind)->rewrite(s.sample.bytes).value());
      ++checked;
    }
  }
  EXPECT_GE(checked, 4);
}

TEST(FileEntryPoints, WhatCannotBeReadOrWrittenIsReportedWithItsPath) {
  ScratchDir dir;
  ASSERT_EQ(::mkdir("sub", 0755), 0);
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  for (const KindEntryPoints& k : AllEntryPoints()) {
    SCOPED_TRACE(EntryKindName(k.kind));
    for (const std::string path : {"missing", "sub", "fifo"}) {
      CapturedOutput captured;
      EXPECT_FALSE(k.read_then_write(path, "out"));
      EXPECT_EQ(captured.messages(), std::vector<std::string>{"Can't open " + path + "!\n"});
      EXPECT_EQ(captured.mismatches(), "");
    }
    dir.Write("in", testing::SampleOf(k.kind));
    CapturedOutput captured;
    EXPECT_TRUE(k.read_then_write("in", "no such directory/out"));
    EXPECT_EQ(captured.last_message(), "Can't open no such directory/out!\n");
  }
}

TEST(FileEntryPoints, EveryKindHasItsName) {
  const std::vector<std::pair<EntryKind, std::string>> names = {{EntryKind::kRollingStock, "rolling stock"},
                                                                {EntryKind::kModel, "model"},
                                                                {EntryKind::kConstruction, "construction drawing"},
                                                                {EntryKind::kLayout, "layout"},
                                                                {EntryKind::kNone, "none"}};
  for (const auto& [kind, name] : names) EXPECT_EQ(EntryKindName(kind), name);
}

}  // namespace
}  // namespace railfmt
