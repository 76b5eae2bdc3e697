# zorv_wayland_protocol(<out-var> <xml> [SERVER])
#
# Has wayland-scanner write the C glue of the protocol that <xml> describes,
# at build time, into the folder `wayland` of the current build folder:
# <name>-client-protocol.h and <name>-protocol.c, or with SERVER
# <name>-server-protocol.h and <name>-server-protocol.c, where <name> is the
# file's name without ".xml". Both files are appended to <out-var>, to be
# added to a target's sources; the folder is for its include directories.
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

function(zorv_wayland_protocol out_var xml)
  cmake_parse_arguments(PARSE_ARGV 2 arg "SERVER" "" "")
  get_filename_component(name ${xml} NAME_WE)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/wayland)
  if(arg_SERVER)
    set(header ${gen}/${name}-server-protocol.h)
    set(code ${gen}/${name}-server-protocol.c)
    set(header_kind server-header)
  else()
    set(header ${gen}/${name}-client-protocol.h)
    set(code ${gen}/${name}-protocol.c)
    set(header_kind client-header)
  endif()
  add_custom_command(
    OUTPUT ${header} ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}
    COMMAND ${WAYLAND_SCANNER} ${header_kind} ${xml} ${header}
    COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml}
    VERBATIM)
  set(${out_var} ${${out_var}} ${header} ${code} PARENT_SCOPE)
endfunction()
