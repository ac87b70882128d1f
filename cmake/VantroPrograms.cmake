# What every shipped Windows program gets: the static C and C++ runtimes (one file, no DLLs), no
# symbol table in a release build, a version resource and VANTRO_VERSION with the project's
# version, and a place in the release zip (cmake/VantroRelease.cmake).
set(VANTRO_STATIC_LINK -static -static-libgcc -static-libstdc++)
# A release build ships without its symbol table, which is most of an unstripped file.
set(VANTRO_RELEASE_STRIP $<$<CONFIG:Release,MinSizeRel>:-s>)

function(vantro_shipped_program target description)
  set(VERSION_PROGRAM ${target})
  set(VERSION_DESCRIPTION "${description}")
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
  target_compile_definitions(${target} PRIVATE VANTRO_VERSION="${PROJECT_VERSION}")
  set_property(GLOBAL APPEND PROPERTY VANTRO_SHIPPED ${target})
  if(NOT MSVC)
    target_link_options(${target} PRIVATE ${VANTRO_STATIC_LINK} ${VANTRO_RELEASE_STRIP})
  endif()
endfunction()
