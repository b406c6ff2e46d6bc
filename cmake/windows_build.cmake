# The Windows cross build (mingw-w64): the library over the platform's own DLLs, its three
# DLLs (orvex10.dll, q7halden10.dll, orvex10host.dll) with the type library, and the tests
# that run under Wine. Included by the top-level CMakeLists.txt when CMAKE_SYSTEM_NAME is
# Windows.

# GoogleTest from Debian's sources, built with the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# (Its targets come with their GTest:: aliases.)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Programs the build runs on the build machine (the writer of the library's own resources,
# the writer of the type library's IDL) come from a native build of the same tree, shared by
# both Windows presets.
include(ExternalProject)
set(ORVEX_HOST_TOOLS_DIR ${PROJECT_SOURCE_DIR}/build/host-tools)
set(orvex_host_launcher "")
find_program(ORVEX_CCACHE ccache)
if(ORVEX_CCACHE)
  set(orvex_host_launcher -DCMAKE_C_COMPILER_LAUNCHER=${ORVEX_CCACHE}
                          -DCMAKE_CXX_COMPILER_LAUNCHER=${ORVEX_CCACHE})
endif()
set(ORVEX_OWN_RESOURCES_WRITER ${ORVEX_HOST_TOOLS_DIR}/tools/own_resources/orvex_own_resources_writer)
set(ORVEX_IDL_WRITER ${ORVEX_HOST_TOOLS_DIR}/tools/idl_writer/orvex_idl_writer)
ExternalProject_Add(orvex_host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ORVEX_HOST_TOOLS_DIR}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_HOST_TOOLS_ONLY=ON -DORVEX_BENCH=OFF
             -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ ${orvex_host_launcher}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR>
                --target orvex_own_resources_writer orvex_idl_writer
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${ORVEX_OWN_RESOURCES_WRITER} ${ORVEX_IDL_WRITER})
foreach(tool orvex_own_resources_writer orvex_idl_writer)
  add_executable(${tool} IMPORTED GLOBAL)
  add_dependencies(${tool} orvex_host_tools)
endforeach()
set_target_properties(orvex_own_resources_writer PROPERTIES IMPORTED_LOCATION ${ORVEX_OWN_RESOURCES_WRITER})
set_target_properties(orvex_idl_writer PROPERTIES IMPORTED_LOCATION ${ORVEX_IDL_WRITER})

# widl compiles the type library with the platform's IDL files and stdole2.tlb, which
# Debian's Wine packages carry (libwine-dev, libwine).
set(ORVEX_WINE_IDL_DIR /usr/include/wine/wine/windows)
set(ORVEX_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

orvex_add_subdirectories(src)
add_dependencies(orvex_server_frame orvex_host_tools)
add_subdirectory(tools/pe_writer)
add_subdirectory(tests/support)
# The behaviour tests that hold on the platform itself (pure renderers, the readers over
# real modules), and the Windows build's own tests.
add_subdirectory(tests/base)
add_subdirectory(tests/readers)
add_subdirectory(tests/windows)
# GetHexDump and GetString through Invoke, against the Linux build's figure.
add_subdirectory(bench/invoke)
add_subdirectory(tests/dyncall/windows)

# The shipped DLLs export their entry points and nothing else.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(library orvex10 q7halden10 orvex10host)
  get_target_property(folder ${library} SOURCE_DIR)
  add_test(NAME ${library}_exports
           COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/check_exports.py
                   ${CMAKE_OBJDUMP} $<TARGET_FILE:${library}> ${folder}/exports.def)
endforeach()
