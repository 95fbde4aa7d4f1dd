# The debug-data writer of our own builds (tools/debugdata): a host program,
# built natively also when the Windows programs are cross-compiled, that
# appends the crash-report library's data to a program and writes its MAP,
# JCL binary and TD32 files beside it.
#
#   kyn_attach_debug_data(<target>)  runs the writer after each link of <target>.
find_package(Python3 COMPONENTS Interpreter)

if(NOT WIN32)
  add_executable(kyn_debugdata ${PROJECT_SOURCE_DIR}/tools/debugdata/kyn_debugdata.cpp)
  target_include_directories(kyn_debugdata PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(kyn_debugdata PRIVATE crash_debuginfo crash_capture framework_core)
  set(KYN_DEBUGDATA_TOOL $<TARGET_FILE:kyn_debugdata>)
else()
  include(ExternalProject)
  set(native_dir ${PROJECT_BINARY_DIR}/debugdata-native)
  # A native configuration of this project, without the sanitizers and
  # without the Windows toolchain, builds only the writer.
  ExternalProject_Add(kyn_debugdata_native
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${native_dir}
    CMAKE_ARGS -DKYN_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release -DKYN_NATIVE_TOOLS_ONLY=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${native_dir} --target kyn_debugdata
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${native_dir}/kyn_debugdata)
  set(KYN_DEBUGDATA_TOOL ${native_dir}/kyn_debugdata)
endif()

function(kyn_attach_debug_data target)
  if(NOT WIN32)
    return()
  endif()
  set(prefix ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
  add_dependencies(${target} kyn_debugdata_native)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/debugdata/dwarf_facts.py $<TARGET_FILE:${target}>
            ${prefix}-objdump ${prefix}-addr2line ${PROJECT_SOURCE_DIR} $<TARGET_FILE:${target}>.facts
    COMMAND ${KYN_DEBUGDATA_TOOL} $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.facts
    COMMENT "Writing the debug data of ${target}"
    VERBATIM)
endfunction()
