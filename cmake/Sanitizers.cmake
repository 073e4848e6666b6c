# Sanitizer builds, for everything the build compiles (the SDK included):
#   TIDEPULL_SANITIZE=address  AddressSanitizer (LeakSanitizer with it) and
#                              UndefinedBehaviorSanitizer; any UB report aborts
#   TIDEPULL_SANITIZE=thread   ThreadSanitizer
# Empty (the default) builds without sanitizers. scripts/sanitize.sh drives both.
set(TIDEPULL_SANITIZE "" CACHE STRING "Sanitizer build: empty, address (ASan+UBSan) or thread (TSan)")
set_property(CACHE TIDEPULL_SANITIZE PROPERTY STRINGS "" address thread)

if(TIDEPULL_SANITIZE STREQUAL "address")
  set(_tidepull_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined)
elseif(TIDEPULL_SANITIZE STREQUAL "thread")
  set(_tidepull_sanitize_flags -fsanitize=thread)
elseif(NOT TIDEPULL_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TIDEPULL_SANITIZE must be empty, address or thread, not '${TIDEPULL_SANITIZE}'")
endif()

if(_tidepull_sanitize_flags)
  if(WIN32)
    message(FATAL_ERROR "TIDEPULL_SANITIZE is for the Linux build")
  endif()
  # Frame pointers keep the reports' stacks whole at optimisation.
  add_compile_options(${_tidepull_sanitize_flags} -fno-omit-frame-pointer)
  add_link_options(${_tidepull_sanitize_flags})
  # The tests that hook malloc or the lock functions would fight the
  # sanitizers' own interceptors; they can ask for this and step aside.
  add_compile_definitions(TIDEPULL_SANITIZED=1)
endif()
