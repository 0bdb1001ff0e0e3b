# Installation and the Debian package.
#
# `cmake --install` puts the companion in bin/, the program in lib/dexlin/
# with its help file beside it and a link to it in bin/ (app/CMakeLists.txt),
# the manual pages (gzipped), the copyright file and changelog in
# share/doc/dexlin/, and the desktop entry, icons and AppStream metadata where
# the freedesktop conventions put them. `cpack -G DEB` packs the same tree for
# /usr.
include(GNUInstallDirs)

# The desktop id; the desktop entry, the icons and the metadata carry it.
set(DEXLIN_APP_ID org.dexlin.Dexlin)
set(DEXLIN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

if(TARGET dexlin-query)
  install(TARGETS dexlin-query RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Compressed as Debian keeps them: gzip -9, no name or time stamp inside (-n),
# so the same source gives the same bytes.
find_program(DEXLIN_GZIP gzip REQUIRED)
function(dexlin_gzip source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${DEXLIN_GZIP} -9 -n -c ${source} > ${output}
                     DEPENDS ${source}
                     COMMENT "Compressing ${source}")
endfunction()

# Manual pages: hand-written roff in docs/man/.
set(DEXLIN_MAN_PAGES)
if(TARGET dexlin-query)
  list(APPEND DEXLIN_MAN_PAGES dexlin-query.1)
endif()
if(DEXLIN_GUI)
  list(APPEND DEXLIN_MAN_PAGES dexlin.1)
endif()
set(DEXLIN_DOC_FILES ${PROJECT_BINARY_DIR}/changelog.gz)
dexlin_gzip(${DEXLIN_PACKAGING_DIR}/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
foreach(page ${DEXLIN_MAN_PAGES})
  dexlin_gzip(${PROJECT_SOURCE_DIR}/docs/man/${page} ${PROJECT_BINARY_DIR}/man/${page}.gz)
  list(APPEND DEXLIN_DOC_FILES ${PROJECT_BINARY_DIR}/man/${page}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
add_custom_target(dexlin_docs ALL DEPENDS ${DEXLIN_DOC_FILES})
install(FILES ${DEXLIN_PACKAGING_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dexlin)

if(DEXLIN_GUI)
  install(FILES ${DEXLIN_PACKAGING_DIR}/${DEXLIN_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${DEXLIN_PACKAGING_DIR}/${DEXLIN_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 16 32 128)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/dexlin-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${DEXLIN_APP_ID}.png)
  endforeach()
endif()

# The Debian package: shared-library dependencies found by dpkg-shlibdeps, and
# the fonts, which no library pulls in: the readouts' serif (metric-compatible
# with the face they name) and the controls' sans-serif (without it, a bare
# system's font configuration gives the buttons a monospaced face).
set(CPACK_PACKAGE_NAME dexlin)
set(CPACK_PACKAGE_VENDOR "Dexlin")
set(CPACK_PACKAGE_CONTACT "Dexlin developers <developers@dexlin.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Dexlin developers <developers@dexlin.org>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://dexlin.org/")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "World map with magnetic variation, great-circle course and distance")
# The long description, one control-file line each.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "One window shows a world map with a readout panel. While the pointer moves"
  "over the map, the panel shows the latitude and longitude under it and the"
  "magnetic variation there, from a built-in model of the Earth's main field:"
  "the 1995.0 reference field for 1995 to 2000 or, on request, the World"
  "Magnetic Model 2025 for 2025 to 2030. A left click marks a start point, a"
  "right click a destination; with both marked the panel shows the initial"
  "great-circle course and the distance in nautical miles. dexlin-query"
  "answers the same questions on the command line.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
include(CPack)

# The install tree checked as the package check checks /usr, without root.
if(DEXLIN_TESTS AND DEXLIN_GUI)
  add_test(NAME installed_files COMMAND bash ${DEXLIN_PACKAGING_DIR}/check-installed.sh --build ${PROJECT_BINARY_DIR})
  set_tests_properties(installed_files PROPERTIES LABELS packaging SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
