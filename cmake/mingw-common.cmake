# The posix thread model is needed for std::mutex (GoogleTest). Everything
# is linked statically: a user's machine has no mingw runtime DLLs.
set(CMAKE_C_COMPILER   ${TALVORI_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALVORI_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TALVORI_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TALVORI_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
