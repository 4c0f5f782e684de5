# Every library the engine links, gathered into one interface target: kv_deps.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1)
pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
pkg_check_modules(THEORA REQUIRED IMPORTED_TARGET theora)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_package(pugixml REQUIRED)
find_package(EXPAT REQUIRED)
find_package(Boost REQUIRED)
find_package(Threads REQUIRED)
find_package(wxWidgets REQUIRED COMPONENTS base xml)

add_library(kv_deps INTERFACE)
# Library headers are system headers: our warnings are about our code.
target_include_directories(kv_deps SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS} ${Boost_INCLUDE_DIRS}
                           /usr/include/stb /usr/include/glm)
target_compile_definitions(kv_deps INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(kv_deps INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(kv_deps INTERFACE
    PkgConfig::SDL2 PkgConfig::EPOXY PkgConfig::LUA PkgConfig::OGG PkgConfig::VORBISFILE
    PkgConfig::THEORA PkgConfig::FREETYPE PkgConfig::FONTCONFIG pugixml::pugixml EXPAT::EXPAT
    ${wxWidgets_LIBRARIES} Threads::Threads)
