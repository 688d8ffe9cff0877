# Puts the shipped list files beside the executable, but only when none of them is
# there yet: lists that a refresh has downloaded are never overwritten.
#   cmake -DSOURCE=<dir with the lists> -DDEST=<dir of the executable> -P CopyLists.cmake
set(lists Num3NoCorrect.txt Num4NoCorrect.txt Num3Correct.txt Num4Correct.txt MiniCorrect.txt Lot6Correct.txt)
foreach(name IN LISTS lists)
  if(EXISTS "${DEST}/${name}")
    return()
  endif()
endforeach()
foreach(name IN LISTS lists)
  file(COPY "${SOURCE}/${name}" DESTINATION "${DEST}")
endforeach()
