# Run after linking Launcher.dll: the program binds the six exports by their plain names, so a
# decorated 32-bit name (StartWatching@4) would leave the watch component unable to bind them.
# cmake -DOBJDUMP=<objdump> -DLIBRARY=<Launcher.dll> -P CheckExports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the export table of ${LIBRARY}")
endif()
foreach(name StartWatching StopWatching StopAll StillWatching SetReceiver GetReceiver)
  if(NOT dump MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "${LIBRARY} does not export ${name} by its plain name")
  endif()
endforeach()
