# Warnings and sanitizers shared by every target of the project.
add_library(kx_compile_options INTERFACE)
target_compile_options(kx_compile_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)
if(KX_WERROR)
  target_compile_options(kx_compile_options INTERFACE -Werror)
endif()
if(KX_SANITIZE)
  target_compile_options(kx_compile_options INTERFACE -fsanitize=${KX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(kx_compile_options INTERFACE -fsanitize=${KX_SANITIZE})
endif()

# kx_library(name SOURCES ... LIBS ...): a static library of the project.
function(kx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE kx_compile_options)
endfunction()

# kx_test(name SOURCES ... LIBS ...): a test executable run by ctest on Qt's offscreen platform.
function(kx_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kx_compile_options)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;KX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
