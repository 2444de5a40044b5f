# Shared by fuzz/smoke.sh and fuzz/run_campaign.sh: builds the fuzz preset
# and the seed corpus. Sourced from the repository root.
fuzz_build="$PWD/build/fuzz"
fuzz_dict="$PWD/fuzz/railfmt.dict"
fuzz_regressions="$PWD/fuzz/regressions"

fuzz_prepare() {
  scripts/setup.sh
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz >/dev/null
  rm -rf "$fuzz_build/seeds"
  "$fuzz_build/tools/make_samples" "$fuzz_build/seeds" >/dev/null
}

# Every fuzz target that was built, one path a line.
fuzz_targets() {
  find "$fuzz_build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort
}

# The last status line libFuzzer printed ("#N DONE cov: ... ft: ... ") as
# "executions coverage features".
fuzz_summary() {
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$1" | tail -1 |
    sed -E 's/^#([0-9]+).*cov: ([0-9]+) ft: ([0-9]+).*/\1 \2 \3/'
}
