# The hardening that Debian builds its own packages with, for the optimised
# build types (Release, RelWithDebInfo, MinSizeRel): the flags that
# dpkg-buildflags gives with every hardening feature on. On Debian 12 for
# amd64 these are the stack protector (-fstack-protector-strong), fortified
# libc calls (-D_FORTIFY_SOURCE=2, which needs optimisation, hence not in
# Debug builds), format string checks, and RELRO with BIND_NOW
# (-Wl,-z,relro -Wl,-z,now); position-independent executables are the
# compiler's default there, and CMake asks for them too. Optimisation level,
# debug information and the build-path mapping stay the build type's.
#
# KRVX_HARDENING=OFF builds without them (for a system without dpkg-buildflags).
# Not with the sanitizers or the fuzz targets, which bring their own flags.
option(KRVX_HARDENING "Build optimised builds with the hardening flags of dpkg-buildflags" ON)

if(KRVX_HARDENING AND NOT KRVX_SANITIZE AND NOT KRVX_FUZZ)
  find_program(KRVX_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT KRVX_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags (Debian package dpkg-dev) gives the hardening flags: "
      "install it, or configure with -DKRVX_HARDENING=OFF")
  endif()
  set(krvx_hardening_compile)
  set(krvx_hardening_link)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${KRVX_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
    if(kind STREQUAL "LDFLAGS")
      list(APPEND krvx_hardening_link ${flags})
    else()
      list(APPEND krvx_hardening_compile ${flags})
    endif()
  endforeach()
  message(STATUS "Hardening (dpkg-buildflags): ${krvx_hardening_compile} ${krvx_hardening_link}")
  set(krvx_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
  add_compile_options("$<${krvx_optimised}:${krvx_hardening_compile}>")
  add_link_options("$<${krvx_optimised}:${krvx_hardening_link}>")

  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
endif()
