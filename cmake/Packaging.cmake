# The Debian package: `cmake --build build --target package` or scripts/package.
include(GNUInstallDirs)

set(LUMORA_MAINTAINER "The Lumora developers <lumora@lumora.org>" CACHE STRING "The package's maintainer")

# The release date as Debian's changelog writes it ("Tue, 08 Dec 2026 00:00:00 +0000").
function(lumora_rfc2822_date date out)
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${date}")
    set(year ${CMAKE_MATCH_1})
    math(EXPR month "${CMAKE_MATCH_2}")
    math(EXPR day "${CMAKE_MATCH_3}")
    # Sakamoto's day of the week, 0 for Sunday.
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR index "${month} - 1")
    list(GET offsets ${index} offset)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${y} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(GET weekdays ${weekday} weekdayName)
    list(GET months ${index} monthName)
    if(day LESS 10)
        set(day "0${day}")
    endif()
    set(${out} "${weekdayName}, ${day} ${monthName} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

set(CPACK_PACKAGE_CONTACT "${LUMORA_MAINTAINER}")
lumora_rfc2822_date(${LUMORA_RELEASE_DATE} LUMORA_RELEASE_DATE_RFC2822)
set(docdir ${CMAKE_CURRENT_BINARY_DIR}/package-doc)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${docdir}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${docdir}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${docdir}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lumora developers")
set(CPACK_PACKAGE_HOMEPAGE_URL "${LUMORA_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for LED installations")
# The long description; CPack indents it under the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumora places one node per LED on a picture, in wiring order, lays a grid over
them and plays procedural colour patterns live on the real layout. It builds
frame-by-frame animations and exports C headers, PPM strips and a template
picture for microcontrollers, and LED maps for WLED, Pixelblaze, FastLED and
xLights. It drives real LEDs over DDP, E1.31 and Art-Net.

The package holds the editor, lumora, and the command line, lumora-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends from the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Pictures in TIFF, WebP and other formats Qt reads through plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
