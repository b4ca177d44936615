# SQLite for the Windows build, compiled from the amalgamation that
# scripts/windows makes from Debian's sqlite3 sources.
set(VSU_SQLITE_AMALGAMATION "${CMAKE_SOURCE_DIR}/build/sqlite-amalgamation"
    CACHE PATH "Directory holding sqlite3.c and sqlite3.h")
if(NOT EXISTS "${VSU_SQLITE_AMALGAMATION}/sqlite3.c")
  message(FATAL_ERROR "No sqlite3.c in ${VSU_SQLITE_AMALGAMATION}: run ./scripts/windows build")
endif()
add_library(vsu_sqlite3 STATIC "${VSU_SQLITE_AMALGAMATION}/sqlite3.c")
target_include_directories(vsu_sqlite3 SYSTEM PUBLIC "${VSU_SQLITE_AMALGAMATION}")
# One thread uses the databases; extensions are never loaded.
target_compile_definitions(vsu_sqlite3 PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION)
# Upstream code: its warnings are not ours to fix. Built for size: the program
# runs a few hundred statements, and -Os makes a smaller exe in a third less
# compile time than -O2.
target_compile_options(vsu_sqlite3 PRIVATE -w -Os)
add_library(SQLite::SQLite3 ALIAS vsu_sqlite3)
