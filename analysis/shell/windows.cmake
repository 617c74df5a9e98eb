# The windows of the analysis program's shell: main window, "Erro", the
# settings dialogs, "Projetar filtro" and the start-up. Included from this folder's
# CMakeLists.txt.
suite_gui_library(analysis_shell_windows
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/design_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/error_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/output_node_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spice_import_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
  DEPS analysis_display_windows analysis_shell_core analysis_design analysis_circuit analysis_spice
       suite_common_gui Qt6::Widgets)

if(SUITE_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()
suite_test(analysis_shell_windows_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/moratw_test.cpp ${CMAKE_CURRENT_LIST_DIR}/moratw_spice_test.cpp
  DEPS analysis_shell_windows)

suite_test(analysis_shell_design_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/moratw_design_test.cpp
  DEPS analysis_shell_windows)

suite_test(analysis_shell_spice_import_test GUI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/spice_import_dialog_test.cpp
  DEPS analysis_shell_windows)
