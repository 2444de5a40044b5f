#!/bin/sh
# Runs a Windows program under Wine for ctest and gtest_discover_tests. The
# program's exit status (low 8 bits; a non-zero status never becomes 0) and
# its standard streams pass through unchanged.
#   WINEPREFIX        the build's private prefix unless set
#   WINEDEBUG=-all    no debug chatter on stderr
#   LC_ALL=C.UTF-8    Wine decodes Unix arguments and file names with the
#                     locale's charset: under C/POSIX every non-ASCII byte
#                     loses its top bit
#   winedbg.exe=d     a crash ends the program (status 5 for an access
#                     violation) with one line on stderr, instead of a
#                     debugger report on the program's stdout
#   winemenubuilder.exe=d, mscoree,mshtml=   no desktop entries, no Mono or
#                     Gecko installer
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/windows-deps/wine}"
export WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
exec wine "$@"
