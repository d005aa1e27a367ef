# `cmake --install`: the game and its data together in lib/tarnby-golf (the game
# reads its data beside itself), a command in bin, a menu entry and an icon.
# Saves then go to the player's own data folder, as the program's is read-only.
include(GNUInstallDirs)
set(TARNBY_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/tarnby-golf)
if(TARGET tarnby-golf)
    install(TARGETS tarnby-golf RUNTIME DESTINATION ${TARNBY_INSTALL_DIR})
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${TARNBY_INSTALL_DIR}/tarnby-golf\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarnby-golf\" SYMBOLIC)")
endif()
install(DIRECTORY ${TARNBY_BIN_DIR}/ DESTINATION ${TARNBY_INSTALL_DIR}
    FILES_MATCHING PATTERN "c?_holes_*" PATTERN "arrow" PATTERN "golf*.bin" PATTERN "f*.bin"
                   PATTERN "*.wav" PATTERN "help.txt" PATTERN "golf-assets.stamp"
    PATTERN "CMakeFiles" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/tarnby-golf.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARNBY_BIN_DIR}/tarnby-golf.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
