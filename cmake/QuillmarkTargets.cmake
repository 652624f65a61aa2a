# quill_add_layer(<name> [DEPS <targets>...])
# One static library per source folder; every .cpp/.h in the folder belongs to it.
function(quill_add_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  list(FILTER _src INCLUDE REGEX "\\.cpp$")
  if(_src)
    file(GLOB _all CONFIGURE_DEPENDS
         "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    add_library(${name} STATIC ${_all})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    quill_set_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# quill_add_qtest(<source.cpp> LIBS <targets>... [DATA_DIR <dir>])
# One QtTest executable per test source, registered with CTest, run headless at 96 dpi.
function(quill_add_qtest source)
  cmake_parse_arguments(ARG "" "" "LIBS;EXTRA" ${ARGN})
  get_filename_component(_name "${source}" NAME_WE)
  add_executable(${_name} ${source} ${ARG_EXTRA})
  target_link_libraries(${_name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${_name} PRIVATE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/tests")
  target_compile_definitions(${_name} PRIVATE
    QUILL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  quill_set_warnings(${_name})
  add_test(NAME ${_name} COMMAND ${_name})
  set_tests_properties(${_name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;QT_SCALE_FACTOR=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    TIMEOUT 300)
endfunction()

# Adds every subfolder that holds a CMakeLists.txt.
function(quill_add_subfolders)
  file(GLOB _dirs LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(_d IN LISTS _dirs)
    if(IS_DIRECTORY "${_d}" AND EXISTS "${_d}/CMakeLists.txt")
      add_subdirectory("${_d}")
    endif()
  endforeach()
endfunction()
