# KORVANE_VERSION: the version both programs print and the Debian package carries. It is
# the project's version, followed in a git checkout by what `git describe` says about the
# commit: nothing on a release tag (v<version>), else +<commits since the tag>.g<hash>, or
# ~git<commits>.g<hash> before the first tag (a snapshot sorts below its release), and
# ~dirty for uncommitted changes (below the commit itself), so that Debian's version order
# is the order of the commits. Included by the project, it also makes every build write
# the header again through this file in script mode (cmake -P), so the programs never
# print the version of an older commit; the header changes only when the version does.
set(KORVANE_VERSION ${PROJECT_VERSION})
if(NOT GIT_EXECUTABLE)
  find_package(Git QUIET)
endif()
if(GIT_EXECUTABLE AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --match "v[0-9]*" --long --always --dirty=~dirty
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE description
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed)
    if(description MATCHES "^v[0-9.]+-([0-9]+)-(g[0-9a-f]+)(~dirty)?$")
      if(CMAKE_MATCH_1 STREQUAL "0")
        set(KORVANE_VERSION "${PROJECT_VERSION}${CMAKE_MATCH_3}")
      else()
        set(KORVANE_VERSION "${PROJECT_VERSION}+${CMAKE_MATCH_1}.${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
      endif()
    elseif(description MATCHES "^([0-9a-f]+)(~dirty)?$")
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE commits OUTPUT_STRIP_TRAILING_WHITESPACE)
      set(KORVANE_VERSION "${PROJECT_VERSION}~git${commits}.g${CMAKE_MATCH_1}${CMAKE_MATCH_2}")
    else()
      message(FATAL_ERROR "git describe gave '${description}', which makes no version.")
    endif()
  endif()
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvane_version.h.in ${PROJECT_BINARY_DIR}/generated/korvane_version.h @ONLY)
if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_custom_target(korvane_version
    COMMAND ${CMAKE_COMMAND} -DPROJECT_VERSION=${PROJECT_VERSION} -DPROJECT_SOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DPROJECT_BINARY_DIR=${PROJECT_BINARY_DIR} -DGIT_EXECUTABLE=${GIT_EXECUTABLE}
            -P ${CMAKE_CURRENT_LIST_FILE}
    BYPRODUCTS ${PROJECT_BINARY_DIR}/generated/korvane_version.h
    COMMENT "Version of the programs"
    VERBATIM)
endif()
