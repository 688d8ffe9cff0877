# Puts the shipped list files beside the executable, but only when none of the first six
# is there yet: lists that a refresh has downloaded are never overwritten. The files added
# since (the lists of the newer games, the draw histories in draws/ and the prizes in
# prizes/) are each copied when missing, so that a folder from before gains them and a
# copy a refresh brought is kept.
#   cmake -DSOURCE=<dir with the lists> [-DDRAWS=<dir with the histories>] [-DPRIZES=<dir with the prizes>]
#         -DDEST=<dir of the executable> -P CopyLists.cmake
set(lists Num3NoCorrect.txt Num4NoCorrect.txt Num3Correct.txt Num4Correct.txt MiniCorrect.txt Lot6Correct.txt)
set(added_lists Lot7Correct.txt Bingo5Correct.txt)
set(draws numbers3.csv numbers4.csv miniloto.csv loto6.csv loto7.csv bingo5.csv)
set(prizes miniloto.csv loto6.csv loto7.csv)

function(copy_missing from names to)
  foreach(name IN LISTS names)
    if(NOT EXISTS "${to}/${name}" AND EXISTS "${from}/${name}")
      file(COPY "${from}/${name}" DESTINATION "${to}")
    endif()
  endforeach()
endfunction()

if(DRAWS)
  copy_missing("${DRAWS}" "${draws}" "${DEST}/draws")
endif()
if(PRIZES)
  copy_missing("${PRIZES}" "${prizes}" "${DEST}/prizes")
endif()
copy_missing("${SOURCE}" "${added_lists}" "${DEST}")
foreach(name IN LISTS lists)
  if(EXISTS "${DEST}/${name}")
    return()
  endif()
endforeach()
foreach(name IN LISTS lists)
  file(COPY "${SOURCE}/${name}" DESTINATION "${DEST}")
endforeach()
