# Installing vagolume as a desktop program and packaging it for Debian.
#
#   cmake --install build --prefix P     program, menu entry, icons, manual page
#   cd build && cpack -G DEB             vagolume_<version>_<arch>.deb
#
# Included from the top CMakeLists.txt after the vagolume target.

include(GNUInstallDirs)

set(VAGOLUME_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(VAGOLUME_LOGO ${CMAKE_CURRENT_SOURCE_DIR}/resources/logo1.png)

# --- Icons ------------------------------------------------------------------
# The theme icon is the program's own 32 x 32 logo (the same picture as the
# window icon). Larger renditions are made from it at build time so that menus
# and docks asking for 48, 64 or 128 pixels do not have to blur it themselves.
add_executable(vagolume_icone ${VAGOLUME_PACKAGING_DIR}/icone.cpp)
target_link_libraries(vagolume_icone PRIVATE Qt6::Gui)
target_compile_options(vagolume_icone PRIVATE -Wall -Wextra)

set(VAGOLUME_ICON_SIZES 48 64 128)
set(VAGOLUME_ICON_FILES)
foreach(size ${VAGOLUME_ICON_SIZES})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/vagolume.png)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND vagolume_icone ${VAGOLUME_LOGO} ${size} ${out}
    DEPENDS vagolume_icone ${VAGOLUME_LOGO}
    COMMENT "Icona ${size}x${size} dal logo"
    VERBATIM)
  list(APPEND VAGOLUME_ICON_FILES ${out})
endforeach()
add_custom_target(vagolume_icone_tema ALL DEPENDS ${VAGOLUME_ICON_FILES})

# --- Manual page ------------------------------------------------------------
configure_file(${VAGOLUME_PACKAGING_DIR}/vagolume.1.in ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1 @ONLY)
# Installed compressed, as Debian's manual pages are (-n: no time stamp, so the
# package is the same from one build to the next).
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1.gz
  COMMAND ${GZIP_PROGRAM} -9nkf ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1
  COMMENT "Pagina di manuale compressa"
  VERBATIM)
add_custom_target(vagolume_man ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1.gz)

# --- Install rules ----------------------------------------------------------
install(TARGETS vagolume RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VAGOLUME_PACKAGING_DIR}/vagolume.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VAGOLUME_LOGO} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME vagolume.png)
foreach(size ${VAGOLUME_ICON_SIZES})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/vagolume.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/vagolume.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VAGOLUME_PACKAGING_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vagolume)

# --- Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME "vagolume")
set(CPACK_PACKAGE_VENDOR "${VAGOLUME_COMPANY_NAME}")
set(CPACK_PACKAGE_CONTACT "${VAGOLUME_CONTACT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Vagolume stampa i moduli del giornale di viaggio in camper: una copertina e un\n"
       "foglio A4 a righe per ogni giorno dell'itinerario, oppure da 1 a 99 fogli in\n"
       "bianco. Si usa dalla finestra o da un altro programma con la riga\n"
       "DESTINAZIONE,GG/MM/AAAA,GG/MM/AAAA, senza chiedere nulla. Senza stampanti\n"
       "scrive un file PDF nella cartella corrente.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "vagolume")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/build.*/" "/\\\\.git/" "/\\\\.cache/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vagolume_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VAGOLUME_COMPANY_NAME} <${VAGOLUME_CONTACT}>")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The Qt 6 and CUPS libraries (with their minimum versions) come from
# dpkg-shlibdeps on the installed binary; the fonts and Qt's Italian
# translations are loaded at run time, and xdg-open is run for "Apri", so
# they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
