# Run by CPack on its staging tree before it packs it. With
# CPACK_STRIP_FILES, the static library loses its debug information and the
# executables and library their notes and compiler comments, as Debian strips
# them (CPack itself strips the executables' symbols). For the Debian
# package: writes usr/share/doc/railfmt/copyright (the licence in the
# machine-readable format, in place of LICENSE) and changelog.gz (a native
# package's), and compresses the manual pages.
if(CPACK_STRIP_FILES AND CPACK_RAILFMT_STRIP)
  file(GLOB_RECURSE staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
  list(FILTER staged INCLUDE REGEX "(/bin/[^/]+|\\.a)$")
  foreach(file IN LISTS staged)
    set(options --remove-section=.comment --remove-section=.note)
    if(file MATCHES "\\.a$")
      list(APPEND options --strip-debug --enable-deterministic-archives)
    endif()
    execute_process(COMMAND "${CPACK_RAILFMT_STRIP}" ${options} "${file}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(docdir "${root}/${CPACK_RAILFMT_DOCDIR}")
set(maintainer "${CPACK_PACKAGE_CONTACT}")

# LICENSE: a title, the copyright line, then the licence text, which the
# copyright file indents by one space with "." for its blank lines.
file(READ "${CPACK_RAILFMT_LICENSE}" licence)
if(NOT licence MATCHES "\nCopyright \\(c\\) ([^\n]+)\n+(.*[^\n])\n*$")
  message(FATAL_ERROR "no copyright line in ${CPACK_RAILFMT_LICENSE}")
endif()
set(holder "${CMAKE_MATCH_1}")
string(REPLACE "\n\n" "\n.\n" text "\n${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " text "${text}")
file(WRITE "${docdir}/copyright"
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: ${CPACK_PACKAGE_NAME}\n"
     "Upstream-Contact: ${maintainer}\n\n"
     "Files: *\n"
     "Copyright: ${holder}\n"
     "License: Expat${text}\n")
file(REMOVE "${docdir}/LICENSE")

# SOURCE_DATE_EPOCH, when set, fixes the date.
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${docdir}/changelog"
     "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Package of railfmt ${CPACK_PACKAGE_VERSION}.\n\n"
     " -- ${maintainer}  ${date}\n")

file(GLOB pages "${root}/${CPACK_RAILFMT_MANDIR}/man*/*.[1-9]" "${root}/${CPACK_RAILFMT_MANDIR}/*/man*/*.[1-9]")
foreach(file IN LISTS pages ITEMS "${docdir}/changelog")
  execute_process(COMMAND gzip -9nf "${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
