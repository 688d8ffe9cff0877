# Puts the shipped list files beside the executable, but only when none of them is
# there yet: lists that a refresh has downloaded are never overwritten. The same for the
# draw histories in the draws folder beside them.
#   cmake -DSOURCE=<dir with the lists> -DDRAWS=<dir with the histories> -DDEST=<dir of the executable>
#         -P CopyLists.cmake
set(lists Num3NoCorrect.txt Num4NoCorrect.txt Num3Correct.txt Num4Correct.txt MiniCorrect.txt Lot6Correct.txt)
set(draws numbers3.csv numbers4.csv miniloto.csv loto6.csv)
set(have_draws FALSE)
foreach(name IN LISTS draws)
  if(EXISTS "${DEST}/draws/${name}")
    set(have_draws TRUE)
  endif()
endforeach()
if(NOT have_draws AND DRAWS)
  foreach(name IN LISTS draws)
    file(COPY "${DRAWS}/${name}" DESTINATION "${DEST}/draws")
  endforeach()
endif()
foreach(name IN LISTS lists)
  if(EXISTS "${DEST}/${name}")
    return()
  endif()
endforeach()
foreach(name IN LISTS lists)
  file(COPY "${SOURCE}/${name}" DESTINATION "${DEST}")
endforeach()
