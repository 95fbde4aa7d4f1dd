# One static library per layout folder, made of every .cpp in it. A file whose
# name ends in "_win.cpp" uses the Windows API and is built only for Windows;
# one ending in "_host.cpp" stands in for it in the host build; every other
# file is platform-free and builds in both.
#
#   kyn_folder_library(<target> [DEPS <target>...] [LIBS <system lib>...])
function(kyn_folder_library name)
  cmake_parse_arguments(A "" "" "DEPS;LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_host\\.(cpp|c)$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win\\.(cpp|c)$")
  endif()
  if(NOT srcs)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  foreach(dep IN LISTS A_DEPS)
    if(TARGET ${dep})
      target_link_libraries(${name} PUBLIC ${dep})
    endif()
  endforeach()
  if(WIN32 AND A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

# One test executable per test folder, made of every *_test.cpp in it; files
# ending in "_win_test.cpp" run only in the Windows build (under Wine).
#
#   kyn_folder_tests(<target> LINK <target>... [ENVIRONMENT <VAR=value>...]
#                    [WRAPPER <script and args>])
# WRAPPER runs the test through a script (for tests that start a peer server);
# the script gets the test command as its trailing arguments.
function(kyn_folder_tests name)
  cmake_parse_arguments(A "" "" "LINK;ENVIRONMENT;WRAPPER" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT WIN32)
    list(FILTER srcs EXCLUDE REGEX "_win_test\\.cpp$")
  endif()
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  foreach(dep IN LISTS A_LINK)
    if(TARGET ${dep})
      target_link_libraries(${name} PRIVATE ${dep})
    endif()
  endforeach()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KYN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             KYN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(A_WRAPPER)
    if(WIN32)
      add_test(NAME ${name} COMMAND ${A_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    else()
      add_test(NAME ${name} COMMAND ${A_WRAPPER} $<TARGET_FILE:${name}>)
    endif()
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(A_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${A_ENVIRONMENT}")
  endif()
endfunction()

# A Windows GUI program with the shared version resource and manifest.
#   kyn_program(<target> <OutputName> <FileDescription> SOURCES... DEPS...)
function(kyn_program name output description)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  set(KYN_OUTPUT_NAME ${output})
  set(KYN_FILE_DESCRIPTION ${description})
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc @ONLY)
  add_executable(${name} WIN32 ${A_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
  # The resource compiler does not report the manifest it reads.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc PROPERTIES
                              OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/resources/commoncontrols6.manifest)
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  target_link_options(${name} PRIVATE -municode)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  foreach(dep IN LISTS A_DEPS)
    if(TARGET ${dep})
      target_link_libraries(${name} PRIVATE ${dep})
    endif()
  endforeach()
endfunction()
