# The Windows exe as it is shipped: hardened as MinGW gives it (ASLR with high
# entropy, DEP), with the stack protector compiled in, and self-contained: it
# imports only Windows' own DLLs, no C++ runtime and no Qt beside it.
# cmake -DEXE=... -DOBJDUMP=... -P exe_check.cmake
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
