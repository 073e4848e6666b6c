# The bundle's Contents/Resources: moduleinfo.json, written from what the
# built module's factory answers, and the editor snapshot hosts show in their
# plug-in browsers (Resources/Snapshots/<class ID>_snapshot.png, and
# <class ID>_snapshot_2.0x.png at double scale).
#
# Linux: tidepull-snapshot draws the editor and tidepull-moduleinfo asks the
# freshly built Tidepull.so (the arm64 cross build runs both under its
# emulator, qemu-aarch64). Windows (MinGW cross build): tidepull-moduleinfo
# is built for Windows and asks the DLL under Wine; the snapshot cannot be
# drawn there (the tool is Linux-only), so a Linux-drawn one is copied:
# TIDEPULL_SNAPSHOT_PNG, by default docs/editor.png, drawn with the same
# settings (and TIDEPULL_SNAPSHOT_2X_PNG, docs/editor-2x.png). Target: tidepull_bundle_resources (in ALL).

set(_tp_resources ${TIDEPULL_BUNDLE_DIR}/Contents/Resources)
set(_tp_moduleinfo ${_tp_resources}/moduleinfo.json)

if(WIN32)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/moduleinfo ${CMAKE_BINARY_DIR}/tools/moduleinfo)
  set(TIDEPULL_SNAPSHOT_PNG ${PROJECT_SOURCE_DIR}/docs/editor.png CACHE FILEPATH
      "Editor snapshot (drawn on Linux by tidepull-snapshot) for the Windows bundle")
  set(TIDEPULL_SNAPSHOT_2X_PNG ${PROJECT_SOURCE_DIR}/docs/editor-2x.png CACHE FILEPATH
      "The same at double scale (tidepull-snapshot --scale 2)")
  find_program(TIDEPULL_WINE wine)
  if(NOT TIDEPULL_WINE)
    message(WARNING "No wine: the Windows bundle gets no moduleinfo.json (apt-get install wine wine64)")
    return()
  endif()
  # A Wine prefix of the build's own, made on first use.
  set(_tp_wine ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${TIDEPULL_WINE})
  add_custom_command(
    OUTPUT ${_tp_moduleinfo}
    COMMAND ${CMAKE_COMMAND}
            "-DEMULATOR=${_tp_wine}"
            -DWINDOWS_PATHS=ON
            -DMODULEINFO=$<TARGET_FILE:tidepull-moduleinfo>
            -DSNAPSHOT_FROM=${TIDEPULL_SNAPSHOT_PNG}
            -DSNAPSHOT_FROM_2X=${TIDEPULL_SNAPSHOT_2X_PNG}
            -DBUNDLE=${TIDEPULL_BUNDLE_DIR}
            -DVERSION=${TIDEPULL_VERSION}
            -P ${CMAKE_CURRENT_LIST_DIR}/WriteModuleInfo.cmake
    DEPENDS Tidepull tidepull-moduleinfo ${TIDEPULL_SNAPSHOT_PNG} ${TIDEPULL_SNAPSHOT_2X_PNG} ${CMAKE_CURRENT_LIST_DIR}/WriteModuleInfo.cmake
    COMMENT "Writing the bundle's moduleinfo.json (under Wine) and copying the editor snapshot"
    VERBATIM)
  add_custom_target(tidepull_bundle_resources ALL DEPENDS ${_tp_moduleinfo})
  return()
endif()

add_custom_command(
  OUTPUT ${_tp_moduleinfo}
  COMMAND ${CMAKE_COMMAND}
          "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
          -DMODULEINFO=$<TARGET_FILE:tidepull-moduleinfo>
          -DSNAPSHOT=$<TARGET_FILE:tidepull-snapshot>
          -DBUNDLE=${TIDEPULL_BUNDLE_DIR}
          -DVERSION=${TIDEPULL_VERSION}
          -P ${CMAKE_CURRENT_LIST_DIR}/WriteModuleInfo.cmake
  DEPENDS Tidepull tidepull-moduleinfo tidepull-snapshot ${CMAKE_CURRENT_LIST_DIR}/WriteModuleInfo.cmake
  COMMENT "Writing the bundle's moduleinfo.json and editor snapshot"
  VERBATIM)
add_custom_target(tidepull_bundle_resources ALL DEPENDS ${_tp_moduleinfo})
