# Boost and Eigen are headers only, so the machine's own serve every target; but Boost's
# headers sit in /usr/include beside the machine's C library headers, which are not the
# target's. The build sees Boost through a folder that holds Boost alone.
set(Boost_NO_BOOST_CMAKE ON)
set(Boost_INCLUDE_DIR ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host-headers)
file(CREATE_LINK /usr/include/boost ${CMAKE_BINARY_DIR}/host-headers/boost SYMBOLIC)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
