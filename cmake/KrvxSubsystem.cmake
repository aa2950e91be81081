# krvx_subsystem(<name> CORE_DEPS ... UI_DEPS ...)
#
# Builds <name>_core from the subsystem folder's *.cpp (standard library only,
# never Qt) and <name>_ui from its ui/ folder (Qt Widgets). A part that has no
# sources yet becomes an interface library, so dependants link either way.
# What differs between the platforms lives in <job>_posix.cpp and
# <job>_windows.cpp: the build takes the one of the platform it builds for.
function(krvx_platform_sources var)
  if(WIN32)
    list(FILTER ${var} EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER ${var} EXCLUDE REGEX "_windows(_test)?\\.cpp$")
  endif()
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

function(krvx_subsystem name)
  cmake_parse_arguments(A "" "" "CORE_DEPS;UI_DEPS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})

  file(GLOB core_src CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER core_src EXCLUDE REGEX "/main\\.cpp$")
  krvx_platform_sources(core_src)
  if(core_src)
    add_library(${name}_core STATIC ${core_src})
    target_include_directories(${name}_core PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_core PUBLIC ${A_CORE_DEPS})
  else()
    add_library(${name}_core INTERFACE)
    target_include_directories(${name}_core INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_core INTERFACE ${A_CORE_DEPS})
  endif()

  if(KRVX_FUZZ)
    return()  # the fuzz configuration has no Qt
  endif()

  file(GLOB ui_cpp CONFIGURE_DEPENDS ${dir}/ui/*.cpp)
  krvx_platform_sources(ui_cpp)
  file(GLOB ui_h CONFIGURE_DEPENDS ${dir}/ui/*.h)
  file(GLOB ui_qrc CONFIGURE_DEPENDS ${dir}/ui/*.qrc)
  if(ui_cpp)
    add_library(${name}_ui STATIC ${ui_cpp} ${ui_h} ${ui_qrc})
    set_target_properties(${name}_ui PROPERTIES AUTOMOC ON AUTORCC ON)
    target_link_libraries(${name}_ui PUBLIC ${name}_core Qt6::Widgets ${A_UI_DEPS})
  else()
    add_library(${name}_ui INTERFACE)
    target_link_libraries(${name}_ui INTERFACE ${name}_core Qt6::Widgets ${A_UI_DEPS})
  endif()
endfunction()

# krvx_tests(<name> [CORE_ONLY]): tests/<name>/*_test.cpp against <name>_core
# (no Qt) and tests/<name>/ui/*_test.cpp against <name>_ui on the offscreen
# platform. CORE_ONLY (Windows) leaves out the window tests and the files
# listed in KRVX_POSIX_ONLY_TESTS.
function(krvx_tests name)
  cmake_parse_arguments(A "CORE_ONLY" "" "" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  file(GLOB core_tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  krvx_platform_sources(core_tests)
  foreach(posix_only IN LISTS KRVX_POSIX_ONLY_TESTS)
    list(REMOVE_ITEM core_tests ${CMAKE_CURRENT_SOURCE_DIR}/${posix_only})
  endforeach()
  if(core_tests)
    add_executable(${name}_tests ${core_tests})
    target_link_libraries(${name}_tests PRIVATE ${name}_core test_support_core GTest::gtest_main)
    gtest_discover_tests(${name}_tests NO_PRETTY_VALUES DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  if(A_CORE_ONLY)
    return()
  endif()
  file(GLOB ui_tests CONFIGURE_DEPENDS ${dir}/ui/*_test.cpp)
  if(ui_tests)
    add_executable(${name}_ui_tests ${ui_tests})
    set_target_properties(${name}_ui_tests PROPERTIES AUTOMOC ON)
    target_link_libraries(${name}_ui_tests PRIVATE ${name}_ui test_support_ui)
    gtest_discover_tests(${name}_ui_tests NO_PRETTY_VALUES DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
  endif()
endfunction()
