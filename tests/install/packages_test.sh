#!/usr/bin/env bash
# Builds the packages from the built tree with CPack and checks them as their
# users see them: the Debian package's control fields, its dependencies (the
# C and C++ runtimes only), the tools run from its unpacked files, the
# manual pages in both languages and the sample files, no lintian error; the
# .tar.gz's layout. With PAGE (the railview.html the build was given) both
# carry the page as share/railfmt/railview.html.
# Usage: packages_test.sh BUILD_DIR VERSION [PAGE]
set -euo pipefail
build=$1 version=$2 page=${3:-}
scratch="$(mktemp -d "${TMPDIR:-/tmp}/railfmt-packages-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$(echo "$scratch"/railfmt_"$version"_*.deb)"
tgz="$scratch/railfmt-$version-Linux.tar.gz"
[ -f "$deb" ] && [ -f "$tgz" ] || { ls "$scratch"; fail "packages missing"; }

info="$(dpkg-deb --info "$deb")"
for field in "Package: railfmt" "Version: $version" "Section: utils" "Priority: optional" \
  "Maintainer: railfmt developers <railfmt-dev@lists.example.org>" \
  "Description: check and rewrite model-railway planning files"; do
  grep -qxF " $field" <<<"$info" || fail "no '$field' in: $info"
done
depends="$(dpkg-deb --field "$deb" Depends)"
names="$(tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/ //g' | sort | tr '\n' ' ')"
grep -q 'libc6 .*libstdc++6' <<<"$names" || fail "Depends lacks the runtimes: $depends"
for name in $names; do
  case $name in libc6 | libgcc-s1 | libstdc++6) ;; *) fail "Depends: $depends" ;; esac
done

dpkg -x "$deb" "$scratch/root"
[ "$("$scratch/root/usr/bin/railinspect" --version)" = "railinspect $version" ] || fail "railinspect --version"
strings "$scratch/root/usr/bin/railfmt" | grep -xF "railfmt $version" >/dev/null || fail "railfmt carries no version string"
for file in usr/share/doc/railfmt/copyright usr/share/doc/railfmt/changelog.gz usr/share/man/man1/railfmt.1.gz \
  usr/share/man/de/man1/railfmt.1.gz usr/share/man/de/man1/railinspect.1.gz usr/share/doc/railfmt/examples/station.mod \
  usr/include/railfmt/archive/model.h usr/lib/cmake/railfmt/railfmtConfig.cmake; do
  [ -f "$scratch/root/$file" ] || fail "$file not in the package"
done

lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 || fail "lintian"
if [ -n "$page" ]; then
  cmp -s "$page" "$scratch/root/usr/share/railfmt/railview.html" || fail "the Debian package's railview.html"
fi

tar -tzf "$tgz" >"$scratch/tgz.list"
for file in bin/railfmt bin/railinspect share/man/man1/railinspect.1 share/man/de/man1/railinspect.1 \
  share/doc/railfmt/examples/y.bak lib/pkgconfig/railfmt.pc ${page:+share/railfmt/railview.html}; do
  grep -qxF "railfmt-$version-Linux/$file" "$scratch/tgz.list" || fail "$file not in $(basename "$tgz")"
done
echo "packages: $(basename "$deb") ($(stat -c %s "$deb") bytes), $(basename "$tgz") ($(stat -c %s "$tgz") bytes); Depends: $depends"
