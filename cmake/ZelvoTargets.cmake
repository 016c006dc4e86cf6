# Every library and program of the project is declared through these two
# functions. Each names the folder it owns, whether it may use wxWidgets and
# the project libraries it depends on; the declarations are written to
# include-graph.txt, which the include-graph test holds every `#include "…"`
# under src/ and tools/ against.

find_package(wxWidgets REQUIRED COMPONENTS html core base)

# Adds the toolkit to a target that declared WX.
function(_zelvo_use_wx target)
  # wx's own headers are system headers here so its code does not trip our
  # warning flags; its settings travel with the target to whoever links it.
  target_include_directories(${target} SYSTEM PUBLIC ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${target} PUBLIC ${wxWidgets_DEFINITIONS})
  target_compile_options(${target} PUBLIC ${wxWidgets_CXX_FLAGS})
  target_link_libraries(${target} PUBLIC ${wxWidgets_LIBRARIES})
endfunction()

# Records one line of the graph: target, folder, wx or nowx, dependencies.
function(_zelvo_record target folder wx)
  file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${folder})
  set(entry "${target} ${relative} ${wx}")
  foreach(dependency IN LISTS ARGN)
    string(APPEND entry " ${dependency}")
  endforeach()
  set_property(GLOBAL APPEND PROPERTY ZELVO_INCLUDE_GRAPH "${entry}")
endfunction()

function(_zelvo_target kind target)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "WX" "FOLDER" "SOURCES;DEPENDS;EXTERNAL")
  if(NOT ARG_FOLDER)
    set(ARG_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(kind STREQUAL "library" AND NOT ARG_SOURCES)
    # Headers only.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARG_DEPENDS} ${ARG_EXTERNAL})
    _zelvo_record(${target} ${ARG_FOLDER} nowx ${ARG_DEPENDS})
    return()
  elseif(kind STREQUAL "library")
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  else()
    add_executable(${target} ${ARG_SOURCES})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  endif()
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} ${ARG_EXTERNAL})
  set(wx nowx)
  if(ARG_WX)
    _zelvo_use_wx(${target})
    set(wx wx)
  endif()
  _zelvo_record(${target} ${ARG_FOLDER} ${wx} ${ARG_DEPENDS})
endfunction()

# zelvo_library(name [WX] [FOLDER dir] SOURCES … [DEPENDS project libs…] [EXTERNAL other libs…])
function(zelvo_library target)
  _zelvo_target(library ${target} ${ARGN})
endfunction()

# zelvo_program(name [WX] [FOLDER dir] SOURCES … [DEPENDS …] [EXTERNAL …])
function(zelvo_program target)
  _zelvo_target(program ${target} ${ARGN})
endfunction()

# zelvo_resources(file…): copies resource files (paths relative to the
# calling folder) into the build's resource folder when they change, and
# installs them beside the installed programs.
function(zelvo_resources)
  foreach(file IN LISTS ARGN)
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${ZELVO_RESOURCE_DIR}/${name} COPYONLY)
  endforeach()
  install(FILES ${ARGN} DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvo-tuner)
endfunction()

# Writes the declared graph for the include-graph test; called once, after
# every target is declared.
function(zelvo_write_include_graph)
  get_property(entries GLOBAL PROPERTY ZELVO_INCLUDE_GRAPH)
  list(JOIN entries "\n" text)
  file(WRITE ${CMAKE_BINARY_DIR}/include-graph.txt "${text}\n")
endfunction()
