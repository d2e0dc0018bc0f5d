# Build conventions shared by every component of the tree.

if(TP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TP_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Headers are included by path from the top of the tree: "util/Logger.h", "mx/mx.h", "contract/...".
# Boost is header-only for us (smart_ptr); the cross build sees the host's copy through a folder
# that holds nothing but it, so no other host header leaks into the target's include path.
add_library(tp_headers INTERFACE)
target_include_directories(tp_headers INTERFACE
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}>
  $<INSTALL_INTERFACE:include/touchpanel>)
if(CMAKE_CROSSCOMPILING)
  set(tp_boost_dir ${CMAKE_BINARY_DIR}/boost-include)
  file(MAKE_DIRECTORY ${tp_boost_dir})
  if(NOT EXISTS ${tp_boost_dir}/boost)
    file(CREATE_LINK /usr/include/boost ${tp_boost_dir}/boost SYMBOLIC)
  endif()
  target_include_directories(tp_headers SYSTEM INTERFACE $<BUILD_INTERFACE:${tp_boost_dir}>)
endif()
target_compile_definitions(tp_headers INTERFACE _GNU_SOURCE)

# Warnings are errors in our own code (not in third-party code built alongside).
function(tp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# tp_plugin(<Class> <sources...>): a touch plug-in, <Class>.so in the plug-in folder.
# Nothing but the factory is exported; the framework and the Logger come from the host process.
function(tp_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${TP_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE tp_headers)
  tp_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY TP_PLUGINS ${name})
endfunction()

# tp_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [TIMEOUT <s>])
# A GoogleTest program registered with CTest. Under the cross build CTest runs it through
# qemu-user (CMAKE_CROSSCOMPILING_EMULATOR). Test programs export their symbols so that
# plug-ins loaded into them resolve the framework the way they do in the host.
# Defines TP_EMULATOR, TP_PLUGIN_DIR, TP_BINARY_DIR and TP_SOURCE_DIR for the test's use.
function(tp_test name)
  if(NOT TP_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tp_headers GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  # TP_EMULATOR: how to start one of our own target programs from inside a test
  # ("qemu-mipsel -L /usr/mipsel-linux-gnu" in the cross build, empty natively);
  # this machine has no binfmt hook, so a test that execs a built program must prefix it.
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " tp_emulator)
  target_compile_definitions(${name} PRIVATE
    TP_EMULATOR="${tp_emulator}"
    TP_PLUGIN_DIR="${TP_PLUGIN_DIR}"
    TP_BINARY_DIR="${CMAKE_BINARY_DIR}"
    TP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  tp_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/Components.cmake)
