find_package(Threads REQUIRED)
find_package(EXPAT REQUIRED)
find_package(Poco REQUIRED COMPONENTS Foundation)
find_package(PkgConfig REQUIRED)
pkg_check_modules(MINIUPNPC REQUIRED IMPORTED_TARGET miniupnpc)

find_path(NATPMP_INCLUDE_DIR natpmp.h REQUIRED)
find_library(NATPMP_LIBRARY natpmp REQUIRED)
add_library(natpmp::natpmp UNKNOWN IMPORTED)
set_target_properties(natpmp::natpmp PROPERTIES
    IMPORTED_LOCATION ${NATPMP_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${NATPMP_INCLUDE_DIR})

add_library(miniupnpc::miniupnpc ALIAS PkgConfig::MINIUPNPC)

if(NOT VELMORA_CORE_ONLY)
    find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
    set(CMAKE_AUTOMOC ON)
    set(CMAKE_AUTORCC ON)
endif()

if(VELMORA_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()
