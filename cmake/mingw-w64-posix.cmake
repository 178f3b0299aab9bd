# mingw-w64 with its POSIX thread model, whose std::thread and std::mutex
# GoogleTest and compila_scenario's page server need; the programs are linked
# statically, so they still import only system DLLs.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
