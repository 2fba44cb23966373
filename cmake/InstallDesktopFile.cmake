# Writes the launchers of the portable folder. Run at install time, so they point at the
# folder the programs were installed to; inside a package, where that folder is not known
# yet, a launcher finds its program beside itself.
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
if(CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
  set(exec [[sh -c "cd \\"\\$(dirname \\"\\$1\\")\\" && exec ./suelvan" sh %k]])
  set(report_exec [[sh -c "cd \\"\\$(dirname \\"\\$1\\")\\" && exec ./suelvan-bericht" sh %k]])
  set(icon "suelvan")
  set(path "")
else()
  # Quoted, with the characters the desktop entry format reserves inside quotes escaped.
  foreach(program suelvan suelvan-bericht)
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${CMAKE_INSTALL_PREFIX}/${program}")
    string(REPLACE "\\" "\\\\" quoted "${quoted}")
    set(exec_${program} "\"${quoted}\"")
  endforeach()
  set(exec "${exec_suelvan}")
  set(report_exec "${exec_suelvan-bericht}")
  set(icon "${CMAKE_INSTALL_PREFIX}/suelvan.png")
  set(path "Path=${CMAKE_INSTALL_PREFIX}\n")
endif()
# The report is one right-click away from the main program's launcher.
file(WRITE "${dir}/suelvan.desktop" "[Desktop Entry]
Type=Application
Name=Sülvan Logger
Comment=Tagebuch für Fluglärm
Exec=${exec}
Icon=${icon}
${path}Terminal=false
Categories=Utility;
Actions=Bericht;

[Desktop Action Bericht]
Name=Bericht
Exec=${report_exec}
")
file(WRITE "${dir}/suelvan-bericht.desktop" "[Desktop Entry]
Type=Application
Name=Sülvan Bericht
Comment=Nächte zählen, Bericht drucken, Beschwerde schicken
Exec=${report_exec}
Icon=${icon}
${path}Terminal=false
Categories=Utility;
")
foreach(launcher suelvan.desktop suelvan-bericht.desktop)
  file(CHMOD "${dir}/${launcher}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  message(STATUS "Installing: ${dir}/${launcher}")
endforeach()
