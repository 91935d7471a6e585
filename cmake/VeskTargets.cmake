# Helpers that keep every folder's CMakeLists short: sources are picked up by
# folder, so adding a file never means editing a list somewhere else.

# vesk_glob_sources(<out-var> <dir>...) — every .cpp/.h directly in the folders.
function(vesk_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h"
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.qrc")
    list(APPEND files ${found})
  endforeach()
  # AUTOMOC reruns only when a file it already knows changes, and a header
  # newly added to a globbed folder changes none of them, so its moc would be
  # missing until a clean build. Reading the list back in as a listfile of
  # this folder makes it one of the files AUTOMOC watches.
  list(TRANSFORM files PREPEND "# " OUTPUT_VARIABLE lines)
  list(JOIN lines "\n" listing)
  set(listfile "${CMAKE_CURRENT_BINARY_DIR}/vesk_sources_${out}.cmake")
  file(CONFIGURE OUTPUT "${listfile}" CONTENT "${listing}\n" @ONLY)
  include("${listfile}")
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# vesk_add_tests(LIBS <targets>... [GUI] [DATA_DIR <dir>])
# Every tst_*.cpp in the current folder becomes one Qt Test executable and one
# CTest test. Shared test helpers (helper_*.cpp / *.h) are linked into each.
function(vesk_add_tests)
  cmake_parse_arguments(ARG "GUI" "DATA_DIR;TIMEOUT" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp")
  file(GLOB helpers CONFIGURE_DEPENDS
    "${CMAKE_CURRENT_SOURCE_DIR}/helper_*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  foreach(src IN LISTS tests)
    get_filename_component(name "${src}" NAME_WE)
    add_executable(${name} "${src}" ${helpers})
    # A test may compile in resources of its own: <test name>.qrc beside it.
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${name}.qrc")
      target_sources(${name} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/${name}.qrc")
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
    target_include_directories(${name} PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}")
    if(ARG_DATA_DIR)
      target_compile_definitions(${name} PRIVATE VESK_TEST_DATA_DIR="${ARG_DATA_DIR}")
    endif()
    target_compile_definitions(${name} PRIVATE VESK_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    # A safety net: tests that forget to make their own temporary folders still
    # never reach the real home.
    set(home "${CMAKE_BINARY_DIR}/test-home/${name}")
    set(env "LC_ALL=C.UTF-8" "HOME=${home}" "XDG_DATA_HOME=${home}/data"
            "XDG_CONFIG_HOME=${home}/config" "XDG_CACHE_HOME=${home}/cache"
            "XDG_RUNTIME_DIR=${home}/runtime")
    if(ARG_GUI)
      list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
  endforeach()
endfunction()

# vesk_take_sources(<from-var> <into-var> <regex>) — moves the files of list
# <from-var> whose names match <regex> into <into-var>, for a folder whose
# files belong to targets that depend on different things.
function(vesk_take_sources from into regex)
  set(taken ${${from}})
  list(FILTER taken INCLUDE REGEX "${regex}")
  set(rest ${${from}})
  list(FILTER rest EXCLUDE REGEX "${regex}")
  set(${into} ${taken} PARENT_SCOPE)
  set(${from} ${rest} PARENT_SCOPE)
endfunction()
