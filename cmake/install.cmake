# What `cmake --install` puts under the prefix: the two tools, the library
# railfmt_core with its public headers, a CMake package (target railfmt::core)
# and a pkg-config file for programs that use the library, the manual pages
# in English and German, bash completion for railinspect, the README and
# licence, and the sample files.
#
# Every installed path is relative to the prefix, so one build installs into
# any prefix given to `cmake --install --prefix` and its packages unpack
# anywhere.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The headers a program using the library includes: the cascade and the
# face every kind shows, the kinds' objects and records, the batch over a
# directory, diagnostics, and the building blocks these include. The POSIX
# side of the directory and the placement index stay private. Installed as
# include/railfmt/<folder>/<header>.h, their includes of each other written
# as <railfmt/<folder>/<header>.h> (cmake/public_header.cmake), so that the
# packages put only include/ on a program's include path.
set(RAILFMT_PUBLIC_HEADERS
    driver/byte_order.h
    driver/byte_cursor.h
    driver/field_fault.h
    driver/normalisation.h
    driver/words_for_people.h
    driver/byte_writer.h
    driver/diagnostics.h
    driver/field_primitives.h
    driver/file_kind.h
    driver/recognition_cascade.h
    driver/path_names.h
    driver/directory.h
    driver/batch_driver.h
    archive/archive_format.h
    archive/model.h
    archive/model_part.h
    archive/primitive_block.h
    archive/model_kind.h
    construction/construction_format.h
    construction/line_record.h
    construction/construction_drawing.h
    construction/construction_kind.h
    rollingstock/rolling_stock_format.h
    rollingstock/roll_info.h
    rollingstock/rolling_stock.h
    rollingstock/rolling_stock_kind.h
    layout/layout_format.h
    layout/track.h
    layout/placed_records.h
    layout/layout.h
    layout/track_geometry.h
    layout/model_placement.h
    layout/layout_kind.h)

set(RAILFMT_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/railfmt")
set(RAILFMT_INSTALL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/railfmt")

# Directories the packages create get the usual modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The library as a program using it sees it: railfmt::core, in C++20 (its
# headers use std::span), headers found as <railfmt/archive/model.h>.
add_library(railfmt::core ALIAS railfmt_core)
set_target_properties(railfmt_core PROPERTIES EXPORT_NAME core)
target_compile_features(railfmt_core PUBLIC cxx_std_20)

if(WIN32)
  # The Windows zip: the two programs, a short README for their users in
  # German (LIESMICH.txt) and English (README.txt), written as Windows'
  # editors expect text, the licence and the sample files (and the page,
  # by cmake/railview_install.cmake).
  install(TARGETS railfmt railinspect RUNTIME DESTINATION .)
  set(windows_readmes)
  foreach(readme LIESMICH.txt README.txt)
    set(written ${PROJECT_BINARY_DIR}/windows/${readme})
    add_custom_command(OUTPUT ${written}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/docs/windows/${readme} -DOUTPUT=${written}
              -P ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
      DEPENDS ${PROJECT_SOURCE_DIR}/docs/windows/${readme} ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake)
    list(APPEND windows_readmes ${written})
  endforeach()
  add_custom_target(railfmt_windows_readmes ALL DEPENDS ${windows_readmes})
  install(FILES ${windows_readmes} ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION samples)
  return()
endif()

install(TARGETS railfmt railinspect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS railfmt_core EXPORT railfmtTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
set(public_headers)
foreach(header IN LISTS RAILFMT_PUBLIC_HEADERS)
  set(installed ${PROJECT_BINARY_DIR}/public-include/railfmt/${header})
  add_custom_command(OUTPUT ${installed}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${header} -DOUTPUT=${installed}
            -P ${PROJECT_SOURCE_DIR}/cmake/public_header.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/${header} ${PROJECT_SOURCE_DIR}/cmake/public_header.cmake)
  list(APPEND public_headers ${installed})
  cmake_path(GET header PARENT_PATH folder)
  install(FILES ${installed} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/railfmt/${folder})
endforeach()
add_custom_target(railfmt_public_headers ALL DEPENDS ${public_headers})

install(EXPORT railfmtTargets NAMESPACE railfmt:: DESTINATION ${RAILFMT_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/railfmtConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/railfmtConfig.cmake
                              INSTALL_DESTINATION ${RAILFMT_INSTALL_CMAKEDIR})
# Before 1.0 a minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/railfmtConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/railfmtConfig.cmake ${PROJECT_BINARY_DIR}/railfmtConfigVersion.cmake
        DESTINATION ${RAILFMT_INSTALL_CMAKEDIR})

# pkg-config finds the prefix from the .pc file's own place (${pcfiledir}),
# so the file stays right wherever the prefix is.
set(RAILFMT_PC_DIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
if(IS_ABSOLUTE "${RAILFMT_PC_DIR}")
  set(RAILFMT_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH pc_to_prefix "/prefix/${RAILFMT_PC_DIR}" "/prefix")
  string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
  set(RAILFMT_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
endif()
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(RAILFMT_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(RAILFMT_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/railfmt.pc.in ${PROJECT_BINARY_DIR}/railfmt.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/railfmt.pc DESTINATION ${RAILFMT_PC_DIR})

# The manual pages in English (man1) and German (de/man1, which
# `man -L de` and a German locale find).
foreach(language IN ITEMS "" de)
  foreach(page railfmt.1 railinspect.1)
    configure_file(${PROJECT_SOURCE_DIR}/man/${language}/${page}.in ${PROJECT_BINARY_DIR}/man/${language}/${page} @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/man/${language}/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man1)
  endforeach()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/tools/railinspect/railinspect.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME railinspect)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${RAILFMT_INSTALL_DOCDIR})
# The sample files, to try the tools on (the manual pages use them by this
# path).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/samples/ DESTINATION ${RAILFMT_INSTALL_DOCDIR}/examples)
