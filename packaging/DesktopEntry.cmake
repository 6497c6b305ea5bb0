# Installs korvane.desktop with the program's absolute installed path in Exec, quoted as
# the desktop entry format asks for a path that holds a space or a reserved character.
# Run by `cmake --install` (install(SCRIPT)); KORVANE_PACKAGING_SOURCE and
# KORVANE_PACKAGING_BINARY are set by the install code before it.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(program "${prefix}/bin/korvane")
if(program MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
  # Inside quotes ", `, $ and \ take a backslash; the file's own escaping doubles it.
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\\\\\1" escaped "${program}")
  set(KORVANE_EXEC "\"${escaped}\"")
else()
  set(KORVANE_EXEC "${program}")
endif()
configure_file("${KORVANE_PACKAGING_SOURCE}/korvane.desktop.in" "${KORVANE_PACKAGING_BINARY}/install/korvane.desktop"
               @ONLY)
file(INSTALL "${KORVANE_PACKAGING_BINARY}/install/korvane.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
