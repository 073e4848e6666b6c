# The libraries whose code has SSE2 branches, built a second time with
# TIDEPULL_PORTABLE_PATHS as <name>_portable: the plain C++ branches other
# processors run, on this machine, beside the normal build, for the tests and
# benchmarks. Each twin takes its library's sources, flags and usage
# requirements, and links the other twins where the library links the
# originals. tidepull_identity, tidepull_resources and the SDK hold no such
# branches and are shared. Each library's own directory makes its twin, at
# its end, where the packages it found are in scope; a test program's twin
# is made the same way, and runs its tests on the plain branches.
set(TIDEPULL_PORTABLE_TWINS tidepull_dsp tidepull_core tidepull_pix tidepull_gui tidepull_vst3 tidepull_plug)
# Elsewhere than x86-64 there is but one kind of branch.
if((TIDEPULL_TESTS OR TIDEPULL_BENCH) AND NOT WIN32 AND NOT TIDEPULL_PORTABLE_PATHS
   AND CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  set(TIDEPULL_PORTABLE_TWINS_BUILT ON)
else()
  set(TIDEPULL_PORTABLE_TWINS_BUILT OFF)
endif()

# The link items with every twinned library swapped for its twin.
function(_tidepull_twin_links out)
  set(result)
  foreach(item IN LISTS ARGN)
    foreach(lib IN LISTS TIDEPULL_PORTABLE_TWINS)
      string(REGEX REPLACE "(^|[^A-Za-z0-9_])${lib}($|[^A-Za-z0-9_])" "\\1${lib}_portable\\2" item "${item}")
    endforeach()
    list(APPEND result "${item}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(tidepull_portable_twin target)
  if(NOT TIDEPULL_PORTABLE_TWINS_BUILT)
    return()
  endif()
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(absolute)
  foreach(src IN LISTS sources)
    if(IS_ABSOLUTE "${src}")
      list(APPEND absolute "${src}")
    else()
      list(APPEND absolute "${dir}/${src}")
    endif()
  endforeach()
  set(twin ${target}_portable)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    add_executable(${twin} ${absolute})
  else()
    add_library(${twin} STATIC ${absolute})
  endif()
  foreach(prop INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS COMPILE_FEATURES INTERFACE_INCLUDE_DIRECTORIES
               INTERFACE_COMPILE_DEFINITIONS INTERFACE_COMPILE_OPTIONS INTERFACE_COMPILE_FEATURES)
    get_target_property(value ${target} ${prop})
    if(value)
      set_property(TARGET ${twin} PROPERTY ${prop} "${value}")
    endif()
  endforeach()
  foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(value ${target} ${prop})
    if(value)
      _tidepull_twin_links(value ${value})
      set_property(TARGET ${twin} PROPERTY ${prop} "${value}")
    endif()
  endforeach()
  # Public: the inline paths in the headers take the branch in the users' units too.
  target_compile_definitions(${twin} PUBLIC TIDEPULL_PORTABLE_PATHS=1)
endfunction()
