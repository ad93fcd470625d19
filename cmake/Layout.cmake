# Where `cmake --install` and the packages put things: the programs in bin/ (renamed to
# fjordfront-server and fjordfront-client; the build tree keeps server and client), the client's
# media in share/fjordfront/media/. The client finds its installed media from its own place.
include(GNUInstallDirs)
# Installing and packaging take what the last build made and never build anything themselves
# (the packages' test runs CPack in a built tree while other tests run).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(GAME_PACKAGE fjordfront)
set(GAME_TITLE Fjordfront)
set(GAME_SERVER_NAME ${GAME_PACKAGE}-server)
set(GAME_CLIENT_NAME ${GAME_PACKAGE}-client)
set(GAME_DATA_DIR ${CMAKE_INSTALL_DATADIR}/${GAME_PACKAGE})
# The data folder seen from the folder of the installed programs ("../share/fjordfront").
file(RELATIVE_PATH GAME_DATA_FROM_BIN /root/${CMAKE_INSTALL_BINDIR} /root/${GAME_DATA_DIR})

# game_version.h: the name and version both programs answer to --version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/game_version.h.in
               ${PROJECT_BINARY_DIR}/generated/game_version.h @ONLY)
add_library(game_version INTERFACE)
target_include_directories(game_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
