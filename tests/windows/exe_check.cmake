# The Windows exe as it is shipped: hardened as MinGW gives it (ASLR with high
# entropy, DEP), with the stack protector compiled in, and self-contained: it
# imports only Windows' own DLLs, no C++ runtime and no Qt beside it. The
# read-me beside it (as the setup and the zip ship it) is UTF-8 with a byte
# order mark and CR LF line ends, which every Windows editor shows right.
# cmake -DEXE=... -DOBJDUMP=... -DREADME=.../LIESMICH.txt -P exe_check.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
foreach(flag HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT)
  if(NOT headers MATCHES "\n[\t ]+${flag}\n")
    message(FATAL_ERROR "${EXE}: ${flag} is not set")
  endif()
endforeach()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(import IN LISTS imports)
  if(import MATCHES "(libstdc\\+\\+|libgcc|libwinpthread|libssp|Qt6)")
    message(FATAL_ERROR "${EXE} needs a DLL that Windows does not have: ${import}")
  endif()
endforeach()
execute_process(COMMAND ${OBJDUMP} -t ${EXE} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
if(NOT symbols MATCHES "__stack_chk_fail")
  message(FATAL_ERROR "${EXE} has no stack protector")
endif()
# (file(READ) as text drops every CR: the bytes are read as hex pairs)
file(READ ${README} readme HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${readme}")
if(NOT bytes MATCHES "^ef bb bf ")
  message(FATAL_ERROR "${README} does not begin with a UTF-8 byte order mark")
endif()
string(REPLACE "0d 0a " "" bare "${bytes}")
if(bare MATCHES "(^| )0[ad] " OR NOT bytes MATCHES "0d 0a $")
  message(FATAL_ERROR "${README} has a line end other than CR LF")
endif()
