# Joins the client's texts fragments (data/dbtexty/<area>.dat) into the one texts file KSVDB
# reads, so the screen areas keep their texts apart and are built side by side. A key defined
# twice would leave the later definition unreachable (the lookup takes the first), and text
# before a fragment's first key would join the previous fragment's last text; both stop the
# build with the fragments named.
#
#   cmake -DOUT=dbtexty.dat -DFRAGMENTS="frame.dat|users.dat|..." -P join_texts.cmake
if(NOT OUT OR NOT FRAGMENTS)
  message(FATAL_ERROR "join_texts: OUT and FRAGMENTS are required")
endif()
string(REPLACE "|" ";" fragments "${FRAGMENTS}")

set(keys "")
set(owners "")
set(joined "")
foreach(fragment IN LISTS fragments)
  file(READ "${fragment}" content)
  if(content STREQUAL "")
    continue()
  endif()
  string(REGEX MATCH "^[^\n]*" first "${content}")
  if(NOT first MATCHES "^\\[.*\\]\r?$")
    message(FATAL_ERROR "join_texts: ${fragment} does not start with a key line: ${first}")
  endif()
  file(STRINGS "${fragment}" headers REGEX "^\\[.*\\]\r?$")
  foreach(header IN LISTS headers)
    string(REGEX REPLACE "^\\[(.*)\\]\r?$" "\\1" key "${header}")
    list(FIND keys "${key}" at)
    if(NOT at EQUAL -1)
      list(GET owners ${at} owner)
      message(FATAL_ERROR "join_texts: key [${key}] is in ${owner} and in ${fragment}")
    endif()
    list(APPEND keys "${key}")
    list(APPEND owners "${fragment}")
  endforeach()
  if(NOT content MATCHES "\n$")
    string(APPEND content "\n")
  endif()
  string(APPEND joined "${content}")
endforeach()

# Written beside and renamed, so an interrupted build never leaves half a texts file.
file(WRITE "${OUT}.tmp" "${joined}")
file(RENAME "${OUT}.tmp" "${OUT}")
