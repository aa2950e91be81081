# The Windows program, cross-built with MinGW-w64 against a static Qt: one
# self-contained exe that imports only Windows' own DLLs.
#
# Hardening as MinGW gives it: address space layout randomisation with high
# entropy, data execution prevention, the stack protector and fortified calls.
add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-fstack-protector-strong;-D_FORTIFY_SOURCE=2>")
add_link_options(-static -fstack-protector-strong
  -Wl,--dynamicbase -Wl,--high-entropy-va -Wl,--nxcompat)
# Wide-character Windows API throughout (CreateFileW, MoveFileExW, ...).
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _POSIX_THREAD_SAFE_FUNCTIONS)

# GoogleTest built from Debian's sources with the same compiler; ctest runs
# the tests through Wine (CMAKE_CROSSCOMPILING_EMULATOR, set by the preset).
if(KRVX_TESTS)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
