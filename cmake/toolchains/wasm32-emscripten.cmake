# WebAssembly with Debian's Emscripten (emscripten): its own toolchain, the machine's Boost and
# Eigen headers, and Node to run what it builds.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/host-headers.cmake)
set(Eigen3_DIR /usr/share/eigen3/cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR node)
