# Installation: the programs in <prefix>/bin; the files they ship with (character tables, help) in
# <prefix>/share/kyx, from where an installed program copies them into its folder under the
# user's data folder; the desktop entry and the hicolor icon for the desktop's menus.
include(GNUInstallDirs)

install(TARGETS Kyx Kyx_R Kyx_ConvD RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(KYX_CONDIVISI ${CMAKE_INSTALL_DATADIR}/kyx)
get_target_property(KYX_APP_DIR Kyx BINARY_DIR)
install(FILES ${KYX_APP_DIR}/KYX.Tbl DESTINATION ${KYX_CONDIVISI})
# Kyx_R reads the same table under its own name.
install(FILES ${KYX_APP_DIR}/KYX.Tbl DESTINATION ${KYX_CONDIVISI} RENAME Kyx_R.Tbl)
# The help file is built beside the program when the help compiler is there.
install(FILES ${KYX_APP_DIR}/KYX.CHM DESTINATION ${KYX_CONDIVISI} OPTIONAL)

install(FILES ${PROJECT_SOURCE_DIR}/app/kyx.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${KYX_APP_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
