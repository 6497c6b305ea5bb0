# KORVANE_VERSION: the version both programs print and the Debian package carries. It is
# the project's version, followed in a git checkout by what `git describe` says about the
# commit: nothing on a release tag (v<version>), else +<commits since the tag>.g<hash>, or
# +git<commits>.g<hash> before the first tag, and .dirty for uncommitted changes. The
# header generated from it changes only when the version does (configure again after a
# commit; scripts/package.sh does).
set(KORVANE_VERSION ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --match "v[0-9]*" --long --always --dirty=.dirty
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE description
                  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed)
    if(description MATCHES "^v[0-9.]+-([0-9]+)-(g[0-9a-f]+)(\\.dirty)?$")
      if(CMAKE_MATCH_1 STREQUAL "0")
        set(KORVANE_VERSION "${PROJECT_VERSION}${CMAKE_MATCH_3}")
      else()
        set(KORVANE_VERSION "${PROJECT_VERSION}+${CMAKE_MATCH_1}.${CMAKE_MATCH_2}${CMAKE_MATCH_3}")
      endif()
    elseif(description MATCHES "^([0-9a-f]+)(\\.dirty)?$")
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE commits OUTPUT_STRIP_TRAILING_WHITESPACE)
      set(KORVANE_VERSION "${PROJECT_VERSION}+git${commits}.g${CMAKE_MATCH_1}${CMAKE_MATCH_2}")
    else()
      message(FATAL_ERROR "git describe gave '${description}', which makes no version.")
    endif()
  endif()
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvane_version.h.in ${PROJECT_BINARY_DIR}/generated/korvane_version.h @ONLY)
