# cmake -P script behind cmake/ModuleInfo.cmake. Variables:
#   MODULEINFO     tidepull-moduleinfo (a program that runs here)
#   BUNDLE         the Tidepull.vst3 folder
#   VERSION        the module's version
#   SNAPSHOT       tidepull-snapshot, to draw the editor snapshot; or
#   SNAPSHOT_FROM  a ready snapshot PNG to copy (builds that cannot draw one)
#   SNAPSHOT_FROM_2X  the same at double scale, optional
#   EMULATOR       optional: runs the programs (wine for the Windows build,
#                  qemu-aarch64 for the arm64 one)
#   WINDOWS_PATHS  ON when the programs take Windows paths (under wine)

function(run_tool result_var)
  execute_process(COMMAND ${EMULATOR} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${rc}):\n${err}")
  endif()
  set(${result_var} "${out}" PARENT_SCOPE)
endfunction()

set(resources ${BUNDLE}/Contents/Resources)
set(snapshots ${resources}/Snapshots)
if(WINDOWS_PATHS)
  # A Windows program sees the Linux root as drive Z:.
  string(REPLACE "/" "\\" bundle_arg "Z:${BUNDLE}")
  string(REPLACE "/" "\\" output_arg "Z:${resources}/moduleinfo.json")
else()
  set(bundle_arg ${BUNDLE})
  set(output_arg ${resources}/moduleinfo.json)
endif()

# The snapshot's name carries the class ID the factory reports.
run_tool(cid ${MODULEINFO} --class-id ${bundle_arg})
string(REGEX MATCH "[0-9A-F]+$" cid "${cid}")
string(LENGTH "${cid}" cid_length)
if(NOT cid_length EQUAL 32)
  message(FATAL_ERROR "tidepull-moduleinfo printed no class ID for ${BUNDLE}")
endif()

file(REMOVE_RECURSE ${snapshots})
file(MAKE_DIRECTORY ${snapshots})
set(snapshot_png ${snapshots}/${cid}_snapshot.png)
set(snapshot_2x_png ${snapshots}/${cid}_snapshot_2.0x.png)
if(SNAPSHOT)
  # The look of docs/editor.png: the meter showing some gain reduction.
  run_tool(ignored ${SNAPSHOT} --set "AC Threshold=14" --set "DC Threshold=3" --set Release=1
           --set Output=3 --set MIX=85 --demo ${snapshot_png})
  run_tool(ignored ${SNAPSHOT} --set "AC Threshold=14" --set "DC Threshold=3" --set Release=1
           --set Output=3 --set MIX=85 --demo --scale 2 ${snapshot_2x_png})
elseif(SNAPSHOT_FROM)
  file(COPY_FILE ${SNAPSHOT_FROM} ${snapshot_png})
  if(SNAPSHOT_FROM_2X)
    file(COPY_FILE ${SNAPSHOT_FROM_2X} ${snapshot_2x_png})
  endif()
endif()

# Written last: it lists the snapshots just made.
run_tool(ignored ${MODULEINFO} --version ${VERSION} ${bundle_arg} ${output_arg})
