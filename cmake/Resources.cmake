# ostrovel_resources(<target> <folder> <function>)
# Builds every file under <folder> into <target> as data: the generated source defines
# `const classes::TResourceTable& <function>()` (platform/classes/Resources.h), which lists the
# files under their paths relative to <folder>. A file added to the folder is picked up by the
# next build.
function(ostrovel_resources target folder function)
  file(GLOB_RECURSE files RELATIVE ${folder} CONFIGURE_DEPENDS ${folder}/*)
  list(SORT files)
  list(TRANSFORM files PREPEND ${folder}/ OUTPUT_VARIABLE paths)
  string(MAKE_C_IDENTIFIER ${function} id)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${id}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND rcembed ${output} ${function} ${folder} ${files}
    DEPENDS rcembed ${paths}
    COMMENT "Building the files of ${folder} into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
