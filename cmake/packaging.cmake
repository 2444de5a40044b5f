# Binary packages of what install.cmake installs, made from a built tree by
# `cpack --preset release` (or `cpack` in any build directory): a .tar.gz to
# unpack anywhere and, on Linux, a Debian package.
set(CPACK_PACKAGE_NAME railfmt)
set(CPACK_PACKAGE_VENDOR "the railfmt developers")
set(CPACK_PACKAGE_CONTACT "railfmt developers <railfmt-dev@lists.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "check and rewrite model-railway planning files")
# The Debian package shows these lines as they are: no line over 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "railfmt validates and rewrites, byte for byte, the binary data files of a"
       "model-railway planning application: models (.mod), rolling stock (.rol),"
       "construction drawings (.kon) and layouts (.anl). Started in a directory, it"
       "recognises every file, checks it strictly and writes it back in normal form."
       "railinspect explains why a file is or is not accepted, dumps its content as"
       "JSON and draws it as SVG. The C++ library they are built on comes with its"
       "headers, a CMake package and a pkg-config file.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

# The generators of every platform, chosen here and nowhere else: on
# Windows a zip, railfmt-VERSION-win64.zip, holding one folder of that name.
set(CPACK_GENERATOR TGZ)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  list(APPEND CPACK_GENERATOR DEB)
elseif(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64")
endif()

set(CPACK_DEBIAN_PACKAGE_NAME railfmt)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the executables need (the C and C++ runtimes).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The staged files before they are packed: the static library and the
# executables stripped as Debian strips them; a Debian package also carries
# the licence as its copyright file, a changelog, and its manual pages
# compressed.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package_staging.cmake)
set(CPACK_RAILFMT_STRIP ${CMAKE_STRIP})
set(CPACK_RAILFMT_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RAILFMT_DOCDIR ${RAILFMT_INSTALL_DOCDIR})
set(CPACK_RAILFMT_MANDIR ${CMAKE_INSTALL_MANDIR})

include(CPack)
