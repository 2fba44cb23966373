# Writes the launcher of the portable folder. Run at install time, so it points at the
# folder the program was installed to; inside a package, where that folder is not known
# yet, the launcher finds the program beside itself.
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
if(CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
  set(exec [[sh -c "cd \\"\\$(dirname \\"\\$1\\")\\" && exec ./suelvan" sh %k]])
  set(icon "suelvan")
  set(path "")
else()
  # Quoted, with the characters the desktop entry format reserves inside quotes escaped.
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${CMAKE_INSTALL_PREFIX}/suelvan")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(exec "\"${quoted}\"")
  set(icon "${CMAKE_INSTALL_PREFIX}/suelvan.png")
  set(path "Path=${CMAKE_INSTALL_PREFIX}\n")
endif()
file(WRITE "${dir}/suelvan.desktop" "[Desktop Entry]
Type=Application
Name=Sülvan Logger
Comment=Tagebuch für Fluglärm
Exec=${exec}
Icon=${icon}
${path}Terminal=false
Categories=Utility;
")
file(CHMOD "${dir}/suelvan.desktop" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
message(STATUS "Installing: ${dir}/suelvan.desktop")
