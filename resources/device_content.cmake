# mmsform_device_content(name source device_folder): the files under `source` become part of what
# a new device ships with, under `device_folder` (a path below the device root, with "/").
function(mmsform_device_content name source device_folder)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${source}/*)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E remove_directory "${MMSFORM_CONTENT_DIR}/${device_folder}"
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${source} "${MMSFORM_CONTENT_DIR}/${device_folder}"
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files}
    COMMENT "Gathering the device's ${name}"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${stamp})
  # A device is filled when it is opened first, so the device's library waits for its contents.
  add_dependencies(mmsform_platform ${name})
endfunction()
