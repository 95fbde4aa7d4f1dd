# The exports of every program that carries the library, by ordinal, so that
# other copies of the library in the process find them by name. Each entry:
# name and the bytes of its stdcall arguments (the i686 decoration).
set(DREVNIK_EXPORTS
  DrevnikLog_LastDelphiException 0
  DrevnikLog_CallCreateThread 4
  DrevnikLog_CallResumeThread 8
  DrevnikLog_CallExitThread 0
  DrevnikLog_CallExceptObject 12
  DrevnikLog_CallGeneralRaise 20
  ExceptionManager 20
  DrevnikLog_PasswordRequestEvent 8
  DrevnikLog_PasswordRequestEventEx 12
  DrevnikLog_ExceptionNotifyEvent 8
  DrevnikLog_HandledExceptionNotifyEvent 8
  DrevnikLog_ExceptionActionNotifyEvent 12
  DrevnikLog_ExceptionErrorNotifyEvent 12
  DrevnikLog_CustomDataRequestEventEx 8
  DrevnikLog_AttachedFilesRequestEvent 8
  DrevnikLog_CustomWebFieldsRequestEvent 8
  DrevnikLog_CustomButtonClickEvent 8)

# Writes the module-definition file for this architecture and adds it, with
# the symbols it names, to the link of every program using `target`.
function(drevnik_exports target)
  set(def "EXPORTS\n")
  set(ordinal 1)
  list(LENGTH DREVNIK_EXPORTS count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET DREVNIK_EXPORTS ${i} name)
    list(GET DREVNIK_EXPORTS ${j} bytes)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
      string(APPEND def "  ${name} @${ordinal}\n")
      set(symbol ${name})
    else()
      string(APPEND def "  ${name} = ${name}@${bytes} @${ordinal}\n")
      set(symbol _${name}@${bytes})
    endif()
    target_link_options(${target} INTERFACE "LINKER:-u,${symbol}")
    math(EXPR ordinal "${ordinal} + 1")
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/DrevnikExports.def)
  file(WRITE ${file} "${def}")
  target_link_options(${target} INTERFACE "${file}")
endfunction()
