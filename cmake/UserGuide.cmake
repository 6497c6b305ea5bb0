# korvane_place_user_guide(TARGET): copies the user guide and its screenshots into a
# docs folder beside the executable of TARGET, where Help > User guide looks for them,
# whenever TARGET is built. Installing puts them under share/doc/korvane.
function(korvane_place_user_guide target)
  file(GLOB pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshots/*.png)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/docs/screenshots
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/docs/user-guide.md $<TARGET_FILE_DIR:${target}>/docs
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${pictures} $<TARGET_FILE_DIR:${target}>/docs/screenshots
    VERBATIM)
endfunction()

file(GLOB KORVANE_GUIDE_PICTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshots/*.png)
# The guide links the file formats' description and the parameter studies' guide.
install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md ${PROJECT_SOURCE_DIR}/docs/file-exchange.md
              ${PROJECT_SOURCE_DIR}/docs/studies.md
        DESTINATION share/doc/korvane)
install(FILES ${KORVANE_GUIDE_PICTURES} DESTINATION share/doc/korvane/screenshots)
