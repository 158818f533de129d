# Fails when a file includes from a folder above its own, or from a folder
# beside it. The folders, from the bottom up: rules, data, exchange and
# entry (side by side), report and dialogs (side by side), wizard, app. The libraries'
# links keep Qt Widgets out of the lower layers; this keeps the folders in
# order among themselves.
set(rank_rules 0)
set(rank_data 1)
set(rank_exchange 2)
set(rank_entry 2)
set(rank_report 3)
set(rank_dialogs 3)
set(rank_wizard 4)
set(rank_app 5)
set(upward "")
foreach(folder rules data exchange entry report dialogs wizard app)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^#include \"[a-z]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
      if(DEFINED rank_${target} AND rank_${target} GREATER rank_${folder})
        list(APPEND upward "${source}: ${line}")
      elseif(DEFINED rank_${target} AND rank_${target} EQUAL rank_${folder}
             AND NOT target STREQUAL folder)
        list(APPEND upward "${source}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(upward)
  string(REPLACE ";" "\n" upward "${upward}")
  message(FATAL_ERROR "Includes that point up the layers:\n${upward}")
endif()
