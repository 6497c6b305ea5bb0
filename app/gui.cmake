# The desktop program: the editors and the main window in a library the tests link,
# and the thin executable korvane.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base)

add_library(korvane_gui STATIC
  field_rules.cpp
  range_fields.cpp
  file_dialogs.cpp
  edit_operating_conditions.cpp
  edit_solver_settings.cpp
  edit_blade_points.cpp
  edit_chord_points.cpp
  edit_twist_points.cpp
  edit_prebend_points.cpp
  edit_rotor_geometry.cpp
  edit_stall_delay.cpp
  edit_shape.cpp
  edit_airfoil_point_single.cpp
  edit_airfoil_points.cpp
  compute_rules.cpp
  compute_dialogs.cpp
  computation_runner.cpp
  design_takeover.cpp
  blade_exporter.cpp
  result_opener.cpp
  compute_actions.cpp
  optimise_dialog.cpp
  edit_compute.cpp
  user_edit_tracker.cpp
  undo_history.cpp
  edit_turbine.cpp
  edit_turbine_compute.cpp
  window_main.cpp
  window_main_layout.cpp
  kvn_app.cpp)
target_include_directories(korvane_gui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(korvane_gui PUBLIC korvane_results korvane_project korvane_exchange ${wxWidgets_LIBRARIES})

add_executable(korvane main.cpp)
target_include_directories(korvane PRIVATE ${PROJECT_BINARY_DIR}/generated)
add_dependencies(korvane korvane_version)
target_link_libraries(korvane PRIVATE korvane_gui)
korvane_place_xfoil_core(korvane)
include(${PROJECT_SOURCE_DIR}/cmake/UserGuide.cmake)
korvane_place_user_guide(korvane)
