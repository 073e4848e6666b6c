# VST 3 SDK (3.7.2, as Debian ships it with the JUCE module sources).
#
# Defines:
#   vst3sdk                      static library: the SDK's base, pluginterfaces
#                                and public.sdk sources we use
#   vst3sdk_ext                  static library: the SDK classes the Debian copy
#                                lacks (SingleComponentEffect, CPluginFactory)
#   VST3SDK_MODULE_ENTRY_SOURCES the platform's module entry source(s); add them
#                                to the plug-in's shared library itself so the
#                                exported entry points survive static linking

set(VST3_SDK_DIR
    "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK"
    CACHE PATH "Root of the VST 3 SDK (holds base/, pluginterfaces/, public.sdk/)")

if(NOT EXISTS "${VST3_SDK_DIR}/pluginterfaces/base/funknown.h"
   OR NOT EXISTS "${VST3_SDK_DIR}/public.sdk/source/vst/vsteditcontroller.cpp")
    message(FATAL_ERROR
        "VST 3 SDK not found in VST3_SDK_DIR='${VST3_SDK_DIR}'.\n"
        "Install it with:  apt-get install juce-modules-source-data\n"
        "or pass -DVST3_SDK_DIR=<path to an SDK with base/, pluginterfaces/, public.sdk/>.")
endif()

find_package(Threads REQUIRED)

get_filename_component(_vst3sdk_src_root "${CMAKE_CURRENT_LIST_DIR}/../src" ABSOLUTE)
set(_vst3sdk_ext_dir "${_vst3sdk_src_root}/vst3/sdk")

set(_vst3sdk_sources
    base/source/baseiids.cpp
    base/source/fbuffer.cpp
    base/source/fdebug.cpp
    base/source/fobject.cpp
    base/source/fstreamer.cpp
    base/source/fstring.cpp
    base/source/updatehandler.cpp
    base/thread/source/flock.cpp
    pluginterfaces/base/conststringtable.cpp
    pluginterfaces/base/coreiids.cpp
    pluginterfaces/base/funknown.cpp
    pluginterfaces/base/ustring.cpp
    public.sdk/source/common/memorystream.cpp
    public.sdk/source/common/pluginview.cpp
    public.sdk/source/vst/vstbus.cpp
    public.sdk/source/vst/vstcomponent.cpp
    public.sdk/source/vst/vstcomponentbase.cpp
    public.sdk/source/vst/vsteditcontroller.cpp
    public.sdk/source/vst/vstinitiids.cpp
    public.sdk/source/vst/vstparameters.cpp
    public.sdk/source/vst/vstpresetfile.cpp
    public.sdk/source/vst/hosting/hostclasses.cpp
    public.sdk/source/vst/hosting/pluginterfacesupport.cpp
)
list(TRANSFORM _vst3sdk_sources PREPEND "${VST3_SDK_DIR}/")

# The Debian copy leaves out the file that defines the editor interface IDs
# (IPlugView, IPlugFrame, the Linux run loop); ours stands in for it.
add_library(vst3sdk STATIC ${_vst3sdk_sources} "${_vst3sdk_ext_dir}/CommonIids.cpp")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(vst3sdk PRIVATE "${_vst3sdk_ext_dir}/posix/LinuxIids.cpp")
endif()
target_include_directories(vst3sdk SYSTEM PUBLIC "${VST3_SDK_DIR}")
# fdebug.h refuses to build without one of the two; DEVELOPMENT turns on the
# SDK's asserts and debug output.
target_compile_definitions(vst3sdk PUBLIC $<IF:$<CONFIG:Debug>,DEVELOPMENT=1,RELEASE=1>)
target_compile_features(vst3sdk PUBLIC cxx_std_17)
# Third-party code: its warnings are not ours to fix.
target_compile_options(vst3sdk PRIVATE -w -ffp-contract=off -fno-fast-math)
target_link_libraries(vst3sdk PUBLIC Threads::Threads)
set_target_properties(vst3sdk PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)

add_library(vst3sdk_ext STATIC
    "${_vst3sdk_ext_dir}/CPluginFactory.cpp"
    "${_vst3sdk_ext_dir}/SingleComponentEffect.cpp"
)
target_include_directories(vst3sdk_ext PUBLIC "${_vst3sdk_src_root}")
target_link_libraries(vst3sdk_ext PUBLIC vst3sdk)
target_compile_options(vst3sdk_ext PRIVATE -Wall -Wextra -ffp-contract=off -fno-fast-math)
set_target_properties(vst3sdk_ext PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)

if(WIN32)
    # The same sources take their SMTG_OS_WINDOWS branches: Win32 critical
    # sections, OutputDebugString, and CoCreateGuid for new FUIDs. The SDK's
    # string code is meant for the wide Win32 API.
    target_compile_definitions(vst3sdk PRIVATE UNICODE _UNICODE)
    target_link_libraries(vst3sdk PUBLIC ole32)
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(VST3SDK_MODULE_ENTRY_SOURCES "${_vst3sdk_ext_dir}/posix/ModuleEntryLinux.cpp")
elseif(WIN32)
    # DllMain records the module handle; InitDll and ExitDll live with the
    # factory in the plug-in's own entry source.
    set(VST3SDK_MODULE_ENTRY_SOURCES "${_vst3sdk_ext_dir}/win32/ModuleEntryWin32.cpp")
else()
    set(VST3SDK_MODULE_ENTRY_SOURCES "")
    message(WARNING "No VST 3 module entry for ${CMAKE_SYSTEM_NAME} yet")
endif()
