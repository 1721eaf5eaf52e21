# Installation to FHS places under CMAKE_INSTALL_PREFIX (DESTDIR honoured), and the two Debian
# packages built from it by CPack (scripts/package): "game" (vortanai) and "scoreboard"
# (vortanai-scoreboard).
include(GNUInstallDirs)
set(VORTANAI_INSTALL_DATA share/games/vortanai)
set(VORTANAI_INSTALL_LIBEXEC lib/games/vortanai)

# The launcher carries the installed paths; scripts/play runs the same file with the build's.
set(VORTANAI_INSTALL_DATA_DIR ${CMAKE_INSTALL_PREFIX}/${VORTANAI_INSTALL_DATA})
set(VORTANAI_INSTALL_GAME ${CMAKE_INSTALL_PREFIX}/${VORTANAI_INSTALL_LIBEXEC}/vortanai)
set(VORTANAI_INSTALL_SCOREBOARD ${CMAKE_INSTALL_FULL_SBINDIR}/vortanai-scoreboard)
set(VORTANAI_INSTALL_SBIN ${CMAKE_INSTALL_FULL_SBINDIR})
set(VORTANAI_INSTALL_LOCALE_DIR ${CMAKE_INSTALL_FULL_LOCALEDIR})
configure_file(tools/launcher/vortanai.sh.in launcher/vortanai @ONLY)
configure_file(desktop/org.vortanai.Vortanai.metainfo.xml desktop/org.vortanai.Vortanai.metainfo.xml
               @ONLY)
configure_file(scoreboard/vortanai-scoreboard.service.in scoreboard/vortanai-scoreboard.service
               @ONLY)

install(TARGETS vortanai DESTINATION ${VORTANAI_INSTALL_LIBEXEC} COMPONENT game)
install(TARGETS vortanai-maze DESTINATION games COMPONENT game)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/vortanai DESTINATION games COMPONENT game)
install(DIRECTORY data/ DESTINATION ${VORTANAI_INSTALL_DATA} COMPONENT game
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES desktop/vortanai.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT game)
install(FILES ${CMAKE_BINARY_DIR}/desktop/org.vortanai.Vortanai.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)

install(TARGETS vortanai-scoreboard DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT scoreboard)
install(FILES ${CMAKE_BINARY_DIR}/scoreboard/vortanai-scoreboard.service
        DESTINATION lib/systemd/system COMPONENT scoreboard)

# Man pages from their scdoc sources in doc/man, the Lithuanian ones in doc/man/lt.
find_program(SCDOC scdoc)
if(SCDOC)
    foreach(page vortanai.6 vortanai-maze.6 vortanai-scoreboard.8 lt/vortanai.6 lt/vortanai-maze.6
             lt/vortanai-scoreboard.8)
        set(source ${CMAKE_SOURCE_DIR}/doc/man/${page}.scd)
        get_filename_component(language ${page} DIRECTORY)
        add_custom_command(OUTPUT man/${page}.gz
                           COMMAND ${CMAKE_COMMAND} -E make_directory man/${language}
                           COMMAND sh -c "${SCDOC} < '${source}' | gzip -9n > man/${page}.gz"
                           DEPENDS ${source} VERBATIM)
        list(APPEND VORTANAI_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
        string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
        set(component game)
        if(page MATCHES scoreboard)
            set(component scoreboard)
        endif()
        set(folder ${CMAKE_INSTALL_MANDIR})
        if(language)
            string(APPEND folder /${language})
        endif()
        install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${folder}/man${section}
                COMPONENT ${component})
    endforeach()
    add_custom_target(vortanai-man ALL DEPENDS ${VORTANAI_MAN_PAGES})
else()
    message(STATUS "scdoc not found: the man pages are not built")
endif()

# The desktop icons, drawn by the asset maker from the game's own atlases.
add_custom_command(OUTPUT icons/256x256/apps/vortanai.png
                   COMMAND vortanai-assets --icons icons DEPENDS vortanai-assets VERBATIM)
add_custom_target(vortanai-icons ALL DEPENDS icons/256x256/apps/vortanai.png)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        COMPONENT game)

# Each package's copyright and changelog, as Debian wants them.
add_custom_command(OUTPUT changelog.gz COMMAND sh -c "gzip -9n < '${CMAKE_SOURCE_DIR}/doc/changelog' > changelog.gz"
                   DEPENDS ${CMAKE_SOURCE_DIR}/doc/changelog VERBATIM)
add_custom_target(vortanai-changelog ALL DEPENDS changelog.gz)
foreach(component game scoreboard)
    set(package vortanai)
    if(component STREQUAL scoreboard)
        set(package vortanai-scoreboard)
    endif()
    install(FILES doc/copyright ${CMAKE_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vortanai)
set(CPACK_PACKAGE_VENDOR "Vortanai")
set(CPACK_PACKAGE_CONTACT "Vortanai maintainers <maintainers@vortanai.example.org>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game scoreboard)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME vortanai)
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS vortanai-scoreboard)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_COMPONENT_GAME_DESCRIPTION "3D maze game with a spinning pyramid
Steer a spinning pyramid through mazes of textured wall blocks, seen from
above by a camera you tilt, pan and zoom with the mouse: a campaign of five
mazes, custom mazes, a records table and a score page.")
set(CPACK_DEBIAN_SCOREBOARD_PACKAGE_NAME vortanai-scoreboard)
set(CPACK_DEBIAN_SCOREBOARD_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SCOREBOARD_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_SCOREBOARD_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/scoreboard/debian/postinst
    ${CMAKE_SOURCE_DIR}/scoreboard/debian/prerm ${CMAKE_SOURCE_DIR}/scoreboard/debian/postrm)
set(CPACK_DEBIAN_SCOREBOARD_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_SCOREBOARD_DESCRIPTION "score page server of the Vortanai maze game
A small web server that checks the codes the game gives after a campaign,
stores each result once and ranks the campaigns, run as a systemd service.")
include(CPack)
