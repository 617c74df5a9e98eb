# Helpers shared by every subsystem's CMakeLists.txt.
#
#   suite_core_library(name SOURCES ... [DEPS ...])
#       A static library of core code: plain C++ and the standard library.
#       It must never link Qt, directly or through its dependencies;
#       suite_check_core_libraries() stops the configuration when one does.
#   suite_gui_library(name SOURCES ... [DEPS ...])
#       A static library of drawing or window code (Qt allowed).
#   suite_test(name SOURCES ... [DEPS ...] [GUI])
#       A GoogleTest executable registered with CTest. GUI tests get a main
#       that creates the QApplication; every test runs with
#       QT_QPA_PLATFORM=offscreen, so no display is needed.

define_property(GLOBAL PROPERTY SUITE_CORE_LIBRARIES
  BRIEF_DOCS "Core libraries that must not link Qt"
  FULL_DOCS "Filled by suite_core_library, checked by suite_check_core_libraries")

function(suite_core_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  set_property(GLOBAL APPEND PROPERTY SUITE_CORE_LIBRARIES ${name})
endfunction()

function(suite_gui_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

function(suite_test name)
  if(NOT SUITE_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "GUI" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock)
  if(A_GUI)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE suite_gui_test_main Qt6::Test)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    SUITE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SUITE_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# Walks the link dependencies of a target, following other targets.
function(_suite_collect_links target out)
  set(seen ${${out}})
  foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(libs ${target} ${prop})
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      if(lib IN_LIST seen)
        continue()
      endif()
      list(APPEND seen ${lib})
      if(TARGET ${lib})
        get_target_property(aliased ${lib} ALIASED_TARGET)
        if(aliased)
          list(APPEND seen ${aliased})
          set(lib ${aliased})
        endif()
        get_target_property(imported ${lib} IMPORTED)
        if(NOT imported)
          _suite_collect_links(${lib} seen)
        endif()
      endif()
    endforeach()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(suite_check_core_libraries)
  get_property(cores GLOBAL PROPERTY SUITE_CORE_LIBRARIES)
  foreach(core IN LISTS cores)
    set(links "")
    _suite_collect_links(${core} links)
    foreach(lib IN LISTS links)
      if(lib MATCHES "Qt[0-9]*::|Qt[0-9]*(Core|Gui|Widgets|Svg)|^Qt")
        message(FATAL_ERROR "Core library '${core}' links Qt ('${lib}'). "
                            "Core code is plain C++: move the Qt part to a drawing or window library.")
      endif()
    endforeach()
  endforeach()
endfunction()
