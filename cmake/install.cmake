# Installing the game as a desktop application: `cmake --install` puts the program, its
# content, desktop entry, AppStream metainfo, icons and manual page under the prefix. Every
# destination is relative (GNUInstallDirs), so DESTDIR staging and any prefix work; the
# program finds its content relative to its own place (src/app/data_folder.h).
include(GNUInstallDirs)

# The one name the desktop knows the game by: desktop file, metainfo id, icon name and the
# window's class (src/render/sdl_platform.cpp says it too; the tests hold them together).
set(QUIBBLESTAR_APP_ID io.github.quibblestar.quibblestar)
set(QUIBBLESTAR_CONTENT_DIR ${CMAKE_INSTALL_DATADIR}/quibblestar)

# The version is the newest heading of NEWS, "## 0.9.0 (2026-12-11)"; the metainfo's releases,
# the manual page and the Debian changelog follow the same file.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/NEWS)
file(STRINGS ${CMAKE_SOURCE_DIR}/NEWS news_headings REGEX "^## ")
list(LENGTH news_headings news_count)
if(news_count EQUAL 0)
  message(FATAL_ERROR "${CMAKE_SOURCE_DIR}/NEWS: no release heading (a line \"## X.Y.Z (YYYY-MM-DD)\")")
endif()
list(GET news_headings 0 newest_release)
if(NOT newest_release MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
  message(FATAL_ERROR "${CMAKE_SOURCE_DIR}/NEWS: the first release heading \"${newest_release}\" "
                      "is not of the form \"## X.Y.Z (YYYY-MM-DD)\"")
endif()
set(QUIBBLESTAR_VERSION ${CMAKE_MATCH_1})
# The replays carry the version that recorded them.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/core/version.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS QUIBBLESTAR_GAME_VERSION="${QUIBBLESTAR_VERSION}")

# Where the content lies seen from the installed program: ../share/quibblestar for the usual
# layouts (bin/ or games/ beside share/).
file(RELATIVE_PATH content_from_program ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${QUIBBLESTAR_CONTENT_DIR})
target_compile_definitions(quibblestar PRIVATE
  QUIBBLESTAR_VERSION="${QUIBBLESTAR_VERSION}"
  QUIBBLESTAR_DATA_FROM_PROGRAM="${content_from_program}")

install(TARGETS quibblestar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The content, without the icon theme's pictures (they go to the theme below); the window's
# own icon stays with it.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${QUIBBLESTAR_CONTENT_DIR}
        PATTERN "graphics/icon" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/data/graphics/icon/quibblestar.bmp
        DESTINATION ${QUIBBLESTAR_CONTENT_DIR}/graphics/icon)

install(FILES ${CMAKE_SOURCE_DIR}/dist/${QUIBBLESTAR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${QUIBBLESTAR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${CMAKE_SOURCE_DIR}/data/graphics/icon/quibblestar-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${QUIBBLESTAR_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/graphics/icon/quibblestar.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUIBBLESTAR_APP_ID}.svg)
install(FILES ${CMAKE_SOURCE_DIR}/dist/quibblestar.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The licences beside the documentation. A distribution's package states them its own way
# (Debian: /usr/share/doc/quibblestar/copyright) and turns this off.
option(QUIBBLESTAR_INSTALL_LICENSES "Install LICENSE and NEWS into the documentation folder" ON)
if(QUIBBLESTAR_INSTALL_LICENSES)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/NEWS DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The staged-install test needs the build folder to install from.
if(TARGET tests_e2e)
  target_compile_definitions(tests_e2e PRIVATE QUIBBLESTAR_BUILD_DIR="${CMAKE_BINARY_DIR}")
endif()
