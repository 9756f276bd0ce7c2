# Initial cache of the Debian package's build (./dev.sh package passes it with -C): the
# hardening Debian builds its own packages with. Only there: _FORTIFY_SOURCE needs an
# optimised build, and the test build is unoptimised and runs under the sanitizers.
set(CMAKE_CXX_FLAGS "-fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wformat -Werror=format-security"
  CACHE STRING "Flags of the package's build" FORCE)
set(CMAKE_EXE_LINKER_FLAGS "-Wl,-z,relro -Wl,-z,now"
  CACHE STRING "Linker flags of the package's build" FORCE)
