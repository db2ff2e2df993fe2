# Program icons, built at build time from the sources under assets/icons/.
#
# add_program_icon(<out_var> NAME <name> SOURCE <source> IMAGES <size:bpp>...)
#   Adds a custom command that runs scripts/make-icon to build
#   ${CMAKE_CURRENT_BINARY_DIR}/<name>.ico holding the listed images
#   (bpp 4, 8 or 24; size 1..256), rebuilt whenever <source> or the script
#   changes, and sets <out_var> to that path. <source> is an .mvg drawing or
#   any picture ImageMagick reads; a relative path is taken from the current
#   source directory.
#
#   Put ${<out_var>} in the sources of the target whose .rc uses the icon,
#   in the same directory:
#
#     add_program_icon(beamlet_icon NAME beamlet
#         SOURCE ${PROJECT_SOURCE_DIR}/assets/icons/beamlet.mvg IMAGES ${beamlet_images})
#     add_executable(beamlet WIN32 main.cpp beamlet.rc ${beamlet_icon})
#
#   and in beamlet.rc:   128 ICON "beamlet.ico"
#
#   At the end of the directory every .rc of such a target gets the icon's
#   directory as an include directory (windres looks ICON files up there) and
#   the icon as an object dependency (windres reports no dependencies, so
#   without it a changed icon would not recompile the .rc). An icon listed in
#   no target's sources is not built.
#
# add_icon_check(<name> <ico> <size:bpp>...)
#   Registers the host test icons_<name>, which passes when <ico> holds
#   exactly the listed images with matching directory entries and headers.
#   Pass the same list as IMAGES above.

set(program_icons_script ${CMAKE_CURRENT_LIST_DIR}/../scripts/make-icon)
cmake_path(NORMAL_PATH program_icons_script)
set(program_icons_checker ${CMAKE_CURRENT_LIST_DIR}/../tests/icons/check_ico.py)
cmake_path(NORMAL_PATH program_icons_checker)

function(program_icons_check_images function_name)
  if(NOT ARGN)
    message(FATAL_ERROR "${function_name}: no images listed")
  endif()
  foreach(image IN LISTS ARGN)
    if(NOT image MATCHES "^[1-9][0-9]*:(4|8|24)$")
      message(FATAL_ERROR
                "${function_name}: bad image '${image}', want SIZE:BPP with BPP 4, 8 or 24")
    endif()
  endforeach()
endfunction()

function(add_program_icon out_var)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;SOURCE" "IMAGES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "add_program_icon: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_NAME OR NOT arg_SOURCE)
    message(FATAL_ERROR "add_program_icon: NAME and SOURCE are required")
  endif()
  program_icons_check_images(add_program_icon ${arg_IMAGES})
  cmake_path(ABSOLUTE_PATH arg_SOURCE BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
             NORMALIZE OUTPUT_VARIABLE source)
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "add_program_icon: no icon source ${source}")
  endif()

  set(ico ${CMAKE_CURRENT_BINARY_DIR}/${arg_NAME}.ico)
  add_custom_command(
    OUTPUT ${ico}
    COMMAND bash ${program_icons_script} ${ico} ${source} ${arg_IMAGES}
    DEPENDS ${source} ${program_icons_script}
    COMMENT "Building icon ${arg_NAME}.ico"
    VERBATIM)

  set_property(DIRECTORY APPEND PROPERTY program_icons ${ico})
  get_property(hooked DIRECTORY PROPERTY program_icons_hooked)
  if(NOT hooked)
    set_property(DIRECTORY PROPERTY program_icons_hooked TRUE)
    cmake_language(DEFER CALL program_icons_wire_resources)
  endif()
  set(${out_var} ${ico} PARENT_SCOPE)
endfunction()

# Runs at the end of a directory that made icons, once its targets exist.
function(program_icons_wire_resources)
  get_property(icons DIRECTORY PROPERTY program_icons)
  get_property(targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    if(NOT sources)
      continue()
    endif()
    set(used_icons "")
    set(resources "")
    foreach(source IN LISTS sources)
      if(source IN_LIST icons)
        list(APPEND used_icons ${source})
      elseif(source MATCHES "\\.rc$")
        list(APPEND resources ${source})
      endif()
    endforeach()
    if(NOT used_icons)
      continue()
    endif()
    if(NOT resources)
      message(WARNING "${target} lists ${used_icons} but has no .rc to use it")
      continue()
    endif()
    set_property(SOURCE ${resources} APPEND PROPERTY OBJECT_DEPENDS ${used_icons})
    set_property(SOURCE ${resources} APPEND PROPERTY INCLUDE_DIRECTORIES
                                                     ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
endfunction()

function(add_icon_check name ico)
  program_icons_check_images(add_icon_check ${ARGN})
  add_test(NAME icons_${name} COMMAND python3 ${program_icons_checker} ${ico} ${ARGN})
  set_tests_properties(icons_${name} PROPERTIES LABELS icons)
endfunction()
