# The web page in the packages: railview.html as the wasm preset builds it
# (build/wasm/railview.html: one self-contained file), installed when
# RAILFMT_RAILVIEW_HTML names it: beside the programs in the Windows zip,
# as share/railfmt/railview.html in the .tar.gz and the Debian package.
# The environment variable of that name, when set, overrides the cache, so
# that a script building every preset can hand the page to each.
include(GNUInstallDirs)
set(RAILFMT_RAILVIEW_HTML "" CACHE FILEPATH "railview.html built by the wasm preset, for the packages (empty: none)")
if(DEFINED ENV{RAILFMT_RAILVIEW_HTML})
  set(RAILFMT_RAILVIEW_HTML "$ENV{RAILFMT_RAILVIEW_HTML}" CACHE FILEPATH "railview.html for the packages" FORCE)
endif()
if(RAILFMT_RAILVIEW_HTML)
  if(NOT EXISTS "${RAILFMT_RAILVIEW_HTML}")
    message(FATAL_ERROR "RAILFMT_RAILVIEW_HTML: ${RAILFMT_RAILVIEW_HTML} does not exist (build the wasm preset first)")
  endif()
  if(WIN32)
    install(FILES ${RAILFMT_RAILVIEW_HTML} DESTINATION .)
  else()
    install(FILES ${RAILFMT_RAILVIEW_HTML} DESTINATION ${CMAKE_INSTALL_DATADIR}/railfmt)
  endif()
endif()
