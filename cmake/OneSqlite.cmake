# The program reaches SQLite straight on the connection of Qt's SQLite
# driver, so both must load one and the same library. Where the build can
# tell, the driver's own link says which one it loads: a driver carrying a
# copy of its own, or loading another library, stops the configuration.
# (The program checks again at every start.)
function(kestro_check_one_sqlite)
  # Some Qt packages do not load their plugins' targets with the module.
  if(NOT TARGET Qt6::QSQLiteDriverPlugin)
    find_package(Qt6QSQLiteDriverPlugin QUIET PATHS ${Qt6Sql_DIR} NO_DEFAULT_PATH
      NO_CMAKE_FIND_ROOT_PATH)
  endif()
  if(NOT TARGET Qt6::QSQLiteDriverPlugin OR NOT CMAKE_OBJDUMP)
    return()
  endif()
  get_target_property(driver Qt6::QSQLiteDriverPlugin LOCATION)
  if(NOT driver OR NOT EXISTS "${driver}")
    return()
  endif()
  if(WIN32)
    # The import library the program links names the one sqlite3.dll.
    set(ours "sqlite3.dll")
    set(link "DLL Name: ${ours}")
  else()
    execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${SQLite3_LIBRARY}
      OUTPUT_VARIABLE headers ERROR_QUIET RESULT_VARIABLE failed)
    if(failed OR NOT headers MATCHES "SONAME +([^\n ]+)")
      return()
    endif()
    set(ours "${CMAKE_MATCH_1}")
    string(REPLACE "." "\\." link "NEEDED +${ours}")
  endif()
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${driver}
    OUTPUT_VARIABLE headers ERROR_QUIET RESULT_VARIABLE failed)
  if(failed)
    return()
  endif()
  if(NOT headers MATCHES "${link}")
    message(FATAL_ERROR "El controlador de SQLite de Qt (${driver}) no carga ${ours}, la "
      "biblioteca SQLite con la que se enlaza el programa: tendría su propia copia de SQLite "
      "y dos copias sobre una misma conexión pueden dañar kestro.mdb.")
  endif()
  message(STATUS "Una sola SQLite: el controlador de Qt carga ${ours}")
endfunction()
kestro_check_one_sqlite()
