# Writes the launchers of the portable folder. Run at install time, so they point at the
# folder the programs were installed to; inside a package, where that folder is not known
# yet, a launcher finds its program beside itself.
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
# Until the report has a window of its own, its launcher makes this month's PDF beside
# the diary and opens it.
set(report_command [[./suelvan-bericht --from $(date +%%Y-%%m-01) --pdf Bericht.pdf && exec xdg-open Bericht.pdf]])
if(CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
  set(exec [[sh -c "cd \\"\\$(dirname \\"\\$1\\")\\" && exec ./suelvan" sh %k]])
  string(REPLACE "$" "\\\\$" escaped "${report_command}")
  set(report_exec "sh -c \"cd \\\\\"\\\\$(dirname \\\\\"\\\\$1\\\\\")\\\\\" && ${escaped}\" sh %k")
  set(icon "suelvan")
  set(path "")
else()
  # Quoted, with the characters the desktop entry format reserves inside quotes escaped.
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" quoted "${CMAKE_INSTALL_PREFIX}/suelvan")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  set(exec "\"${quoted}\"")
  string(REPLACE "$" "\\\\$" escaped "${report_command}")
  set(report_exec "sh -c \"${escaped}\"")
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
file(WRITE "${dir}/suelvan-bericht.desktop" "[Desktop Entry]
Type=Application
Name=Sülvan Bericht
Comment=Fluglärm-Bericht dieses Monats als PDF
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
