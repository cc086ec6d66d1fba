# Which folder may include which is decided by the targets a library links.
# A library exposes its own folder through a directory of its own in the
# build tree that holds one link to that folder (layers/<target>/<folder>);
# the link is its only include path, handed on to whoever links it. An
# include of a folder that a target does not stand on (the runtime reaching
# into the application, the form engine into a control) then fails to
# compile. Where the file system cannot make links (Windows without the
# right to), the source root stands in and the layers go unchecked.

# ts_expose(target PUBLIC|INTERFACE folder...): the folders, relative to the
# source root, that `target` and everything linking it may include.
function(ts_expose target visibility)
  set(root "${CMAKE_BINARY_DIR}/layers/${target}")
  foreach(folder ${ARGN})
    set(link "${root}/${folder}")
    if(NOT IS_SYMLINK "${link}")
      get_filename_component(parent "${link}" DIRECTORY)
      file(MAKE_DIRECTORY "${parent}")
      file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${folder}" "${link}" RESULT failed SYMBOLIC)
      if(failed)
        message(STATUS "layers unchecked: cannot link ${link} (${failed})")
        set(root "${CMAKE_SOURCE_DIR}")
        break()
      endif()
    endif()
  endforeach()
  target_include_directories(${target} ${visibility} "${root}")
endfunction()

# ts_layer_probe(name source header libs...): a source that includes `header`
# from a folder that the libraries it links do not stand on, built on request
# only. The test passes when that build fails for want of the header.
function(ts_layer_probe name source header)
  add_library(${name} STATIC EXCLUDE_FROM_ALL "${source}")
  target_link_libraries(${name} PRIVATE ${ARGN})
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} --build "${CMAKE_BINARY_DIR}" --target ${name})
  set_tests_properties(${name} PROPERTIES LABELS host TIMEOUT 120
                       PASS_REGULAR_EXPRESSION "${header}: No such file or directory")
endfunction()
