# desktally_layer(<name> [DEPS <targets>...])
# A static library of every .cpp in the calling folder, its folder on the
# include path of whoever links it. A folder without sources yet gives an
# interface library, so the layering holds from the first day.
function(desktally_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# desktally_test(<folder> LIBS <targets>... [ENV <var=value>...])
# One GoogleTest binary per layer from tests/<folder>/*.cpp, registered with
# CTest test by test. Tests run in their own folder so that files they write
# ("./log", help files) stay out of the tree.
function(desktally_test folder)
  cmake_parse_arguments(ARG "" "" "LIBS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_compile_definitions(${target} PRIVATE
    DESKTALLY_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    DESKTALLY_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  set(workdir ${CMAKE_CURRENT_BINARY_DIR}/run_${folder})
  file(MAKE_DIRECTORY ${workdir})
  gtest_discover_tests(${target}
    WORKING_DIRECTORY ${workdir}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${ARG_ENV}")
endfunction()
