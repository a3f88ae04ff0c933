# Makes one carol MIDI file from its ABC source with abc2midi, and fails the
# build when abc2midi reports any error or warning (it exits with status 0 even
# then), so a mistyped bar or a voice out of step never reaches the playlist.
#
# Called as: cmake -DABC2MIDI=<program> -DSOURCE=<file.abc> -DOUTPUT=<file.mid> -P make_carol.cmake

foreach(required ABC2MIDI SOURCE OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make_carol.cmake needs -D${required}=...")
  endif()
endforeach()

execute_process(
  COMMAND "${ABC2MIDI}" "${SOURCE}" -o "${OUTPUT}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

if(NOT result EQUAL 0 OR output MATCHES "(Error|Warning)")
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "abc2midi could not make ${OUTPUT} from ${SOURCE}:\n${output}")
endif()
if(NOT EXISTS "${OUTPUT}")
  message(FATAL_ERROR "abc2midi wrote no file for ${SOURCE}")
endif()
