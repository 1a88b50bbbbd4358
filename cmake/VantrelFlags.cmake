# vantrel_flags: how Vantrel's own code is compiled. Linked privately (and
# only in the build tree), so a consumer of the libraries never inherits it.
add_library(vantrel_flags INTERFACE)

# Every target lights the same pixels: no fused multiply-add, no fast-math.
target_compile_options(vantrel_flags INTERFACE -ffp-contract=off)
target_compile_features(vantrel_flags INTERFACE cxx_std_20)
target_compile_options(vantrel_flags INTERFACE -Wall -Wextra -Wpedantic)
# Warnings stop the build only where asked: the presets and CI turn this on;
# a packager's plain configure never fails on a new compiler's warning.
if(VANTREL_WARNINGS_AS_ERRORS)
  target_compile_options(vantrel_flags INTERFACE -Werror)
endif()

if(MINGW)
  # No DLLs but the system's: the C and C++ runtimes are linked in.
  target_link_options(vantrel_flags INTERFACE -static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Floats in SSE registers rather than on the x87 stack, so that the 32-bit
    # build rounds every operation exactly as the 64-bit builds do. This asks
    # for SSE2, which every x86 processor since about 2003 has.
    target_compile_options(vantrel_flags INTERFACE -msse2 -mfpmath=sse)
  endif()
endif()

# vantrel_library(NAME SOURCES...): a static library of the installable
# toolkit, vantrel_NAME in the build tree and Vantrel::NAME for consumers. Its
# public headers are in NAME/include/vantrel/; the other headers beside the
# sources stay private.
function(vantrel_library name)
  set(target vantrel_${name})
  add_library(${target} STATIC ${ARGN})
  add_library(Vantrel::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name} OUTPUT_NAME vantrel_${name})
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_include_directories(${target}
    PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:vantrel_flags>)
endfunction()
