# cmake -DSRC=<file> -DDST=<file> -P copy_if_absent.cmake: copies SRC to DST
# unless DST exists (so a user's own settings survive a rebuild).
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
