#!/usr/bin/env bash
# Installs what building and testing railfmt needs, when it is missing;
# given package names, installs those instead (scripts/windows.sh and
# scripts/web.sh name theirs). Debian or Ubuntu, as root or with sudo;
# non-interactive.
# Usage: scripts/setup.sh [PACKAGE...]
set -euo pipefail

packages=(cmake make g++ clang libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev python3 gcovr
  # The install and package tests: man pages, pkg-config, dpkg-shlibdeps, lintian.
  man-db pkg-config dpkg-dev file lintian
  # The catalogue audit: gettext's xgettext, msgcmp and msgfmt.
  gettext)
[ $# -gt 0 ] && packages=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The sanitizer and fuzzer runtimes come with clang's runtime package.
fuzz_probe='extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }'
if [ $# -eq 0 ] && command -v clang++ >/dev/null &&
  ! echo "$fuzz_probe" | clang++ -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - 2>/dev/null; then
  missing+=("libclang-rt-$(clang++ --version | sed -n 's/.*version \([0-9]*\).*/\1/p' | head -1)-dev")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
# Other programs may hold the package manager's lock for a while.
apt_options=(-o DPkg::Lock::Timeout=900 -o Dpkg::Use-Pty=0)
$sudo apt-get "${apt_options[@]}" update -qq >&2
$sudo apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
