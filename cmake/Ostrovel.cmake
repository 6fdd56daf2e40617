# The folders of the tree, lowest first: a folder includes and links only folders before it
# (scripts/check-includes holds every file to it; docs/folders.md says what each one holds).
set(OSTROVEL_FOLDERS
    platform/rtl
    platform/classes
    platform/gdi
    platform/graphics
    platform/os
    platform/data
    platform/media
    platform/shell
    platform/backends
    platform/controls
    tray
    controls/base
    controls/input
    controls/shell
    grid/base
    grid
    app
    quorvex
    tools)

# ostrovel_library(<target> DEPS <targets...> [PKG <pkg-config modules...>])
# One library per folder: every .cpp file of the calling folder is part of it.
function(ostrovel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS;PKG;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} ${ARG_LIBS})
  foreach(pkg ${ARG_PKG})
    string(MAKE_C_IDENTIFIER ${pkg} id)
    if(NOT TARGET PkgConfig::${id})
      pkg_check_modules(${id} REQUIRED IMPORTED_TARGET GLOBAL ${pkg})
    endif()
    target_link_libraries(${target} PUBLIC PkgConfig::${id})
  endforeach()
endfunction()

# ostrovel_tests(<target> DEPS <targets...>)
# One test binary per folder of tests/: every .cpp file of the calling folder.
function(ostrovel_tests target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE OSTROVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(properties TIMEOUT 300)
  if(OSTROVEL_TSAN)
    # GLib, GIO and GStreamer are not built with ThreadSanitizer, so what their own code does
    # between their threads cannot be judged; every access of ours still is.
    list(APPEND properties ENVIRONMENT TSAN_OPTIONS=ignore_noninstrumented_modules=1)
  endif()
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()
