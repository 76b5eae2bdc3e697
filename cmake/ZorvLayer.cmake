# zorv_layer(<target> SOURCES <files...> [LINKS <targets...>] [PRIVATE_LINKS <targets...>])
#
# A static library that shows only its own headers, plus those of the
# libraries it links. Sources include headers by their path under src/
# ("model/Shelf.h"), so a plain src/ include directory would show every
# folder to every library. Instead each library's include directory is a
# folder in the build tree holding links to exactly the headers in its own
# source list: a header of a library above it does not resolve, and the
# compiler keeps the layering. A header left out of the list is seen by no
# one, not even its own library.
function(zorv_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINKS;PRIVATE_LINKS")
  add_library(${target} STATIC ${arg_SOURCES})
  set(view ${CMAKE_BINARY_DIR}/layers/${target})
  # Rebuilt on every configure, so a moved or removed header leaves no link.
  file(REMOVE_RECURSE ${view})
  foreach(source IN LISTS arg_SOURCES)
    if(source MATCHES "\\.h$")
      get_filename_component(folder ${source} DIRECTORY)
      file(MAKE_DIRECTORY ${view}/${folder})
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${view}/${source} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${view})
  target_link_libraries(${target} PUBLIC ${arg_LINKS} PRIVATE ${arg_PRIVATE_LINKS})
endfunction()
