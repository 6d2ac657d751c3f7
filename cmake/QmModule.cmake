# The program's modules, each declared once with qm_add_module. A module is a
# library of one folder of src/: it sits on a layer, depends only on modules of
# lower layers, and shows those that link it its public headers and no others.
#
# The layers, lowest first. A module may depend on any module of a lower layer
# and on none of its own layer or above, so peers (the archive and the act
# document, say) never know each other and the graph cannot form a cycle.
set(QM_MODULE_LAYERS
  foundation   # values, failures, text conversion: common
  settings     # the settings file
  domain       # the archive, the act document, the keyboard input
  adapters     # the real office behind the act document
  application  # the windows and the commands they run
  program)     # the composition root: start-up and the real platform pieces

#   qm_add_module(<name> LAYER <layer>
#                 [SOURCES <files>...]            compiled, private headers among them
#                 [PUBLIC_HEADERS <headers>...]   what modules and tests that link it may include
#                 [DEPENDS <modules>...]          our own modules, checked against the layers
#                 [PRIVATE_DEPENDS <modules>...]  our own modules used inside only, checked too
#                 [LINKS <libraries>...]          outside libraries the public headers need (Qt6::Core, ...)
#                 [PRIVATE_LINKS <libraries>...]) outside libraries used inside only
# A module without SOURCES is a header-only interface library.
function(qm_add_module name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "LAYER"
    "SOURCES;PUBLIC_HEADERS;DEPENDS;PRIVATE_DEPENDS;LINKS;PRIVATE_LINKS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qm_add_module(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  list(FIND QM_MODULE_LAYERS "${ARG_LAYER}" layer)
  if(layer EQUAL -1)
    message(FATAL_ERROR "qm_add_module(${name}): LAYER must be one of ${QM_MODULE_LAYERS}, not '${ARG_LAYER}'")
  endif()
  foreach(dependency IN LISTS ARG_DEPENDS ARG_PRIVATE_DEPENDS)
    get_property(declared GLOBAL PROPERTY QM_MODULE_LAYER_${dependency} SET)
    if(NOT declared)
      message(FATAL_ERROR "qm_add_module(${name}): '${dependency}' is not a module declared before it")
    endif()
    get_property(dependency_layer GLOBAL PROPERTY QM_MODULE_LAYER_${dependency})
    if(NOT dependency_layer LESS layer)
      list(GET QM_MODULE_LAYERS ${dependency_layer} dependency_layer_name)
      message(FATAL_ERROR "qm_add_module(${name}): a module of layer '${ARG_LAYER}' may not depend "
        "on '${dependency}' of layer '${dependency_layer_name}': only on modules of lower layers "
        "(${QM_MODULE_LAYERS}, lowest first)")
    endif()
  endforeach()
  # Through LINKS a module would escape the check above.
  foreach(library IN LISTS ARG_LINKS ARG_PRIVATE_LINKS)
    get_property(is_module GLOBAL PROPERTY QM_MODULE_LAYER_${library} SET)
    if(is_module)
      message(FATAL_ERROR "qm_add_module(${name}): the module '${library}' goes in DEPENDS or PRIVATE_DEPENDS, "
        "where its layer is checked, not in LINKS")
    endif()
  endforeach()
  set_property(GLOBAL PROPERTY QM_MODULE_LAYER_${name} ${layer})

  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES} ${ARG_PUBLIC_HEADERS})
    qm_configure_target(${name})
    set(public PUBLIC)
    set(private PRIVATE)
  else()
    add_library(${name} INTERFACE ${ARG_PUBLIC_HEADERS})
    set(public INTERFACE)
    set(private INTERFACE)
  endif()
  target_link_libraries(${name} ${public} ${ARG_DEPENDS} ${ARG_LINKS})
  if(ARG_PRIVATE_DEPENDS OR ARG_PRIVATE_LINKS)
    target_link_libraries(${name} ${private} ${ARG_PRIVATE_DEPENDS} ${ARG_PRIVATE_LINKS})
  endif()

  # The headers are linked, under their names in src/, into include folders of
  # the module's own: the public ones into the folder it passes on, every one
  # into the folder only its own sources see. So nothing includes a header of a
  # module it does not link, nor a private header of one it does.
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${root})
  qm_link_headers(${root}/public ${ARG_PUBLIC_HEADERS})
  target_include_directories(${name} ${public} ${root}/public)
  if(ARG_SOURCES)
    qm_link_headers(${root}/private ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${root}/private)
  endif()
endfunction()

# Links each header among <files> (relative to the calling folder) into
# <root>, under its path relative to src/.
function(qm_link_headers root)
  foreach(file IN LISTS ARGN)
    if(file MATCHES "\\.h$")
      get_filename_component(absolute ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${absolute})
      get_filename_component(folder ${root}/${relative} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${absolute} ${root}/${relative} SYMBOLIC)
    endif()
  endforeach()
endfunction()
