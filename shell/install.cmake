# Installing Tarvex (cmake --install): the program with its default rate file and, on Linux
# desktops, the menu entry, the icons and the AppStream description.
#
# The program reads and rewrites Taux.ini beside itself (or, where that folder is read-only, in
# the user's configuration folder). On Windows both go to bin/. Elsewhere the program and its
# rate file live in their own folder under libexec/, and bin/ holds a link to the program: the
# program finds its real folder through the link.
include(GNUInstallDirs)

set(TARVEX_APP_ID com.example.tarvex)
set(tarvex_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(tarvex_rate_file ${CMAKE_SOURCE_DIR}/vat/Taux.ini)

if(WIN32)
    install(TARGETS tarvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${tarvex_rate_file} DESTINATION ${CMAKE_INSTALL_BINDIR})
    return()
endif()

set(tarvex_program_dir ${CMAKE_INSTALL_LIBEXECDIR}/tarvex)
install(TARGETS tarvex RUNTIME DESTINATION ${tarvex_program_dir})
install(FILES ${tarvex_rate_file} DESTINATION ${tarvex_program_dir})

# bin/tarvex -> ../libexec/tarvex/tarvex, relative so that the installed tree can be moved.
file(RELATIVE_PATH tarvex_link_target
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tarvex/tarvex)
install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvex\")
    message(STATUS \"Installing: \${link} -> ${tarvex_link_target}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"${tarvex_link_target}\" \"\${link}\" SYMBOLIC)
")

install(FILES ${tarvex_packaging}/${TARVEX_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${tarvex_packaging}/${TARVEX_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${tarvex_packaging}/icons/hicolor
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
