# Read by cpack when it packs: the library dependencies without the
# preview engine's (see shlibdeps-without-engine).
set(SHLIBDEPS_EXECUTABLE "${CMAKE_CURRENT_LIST_DIR}/shlibdeps-without-engine")
