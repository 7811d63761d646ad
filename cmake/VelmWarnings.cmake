option(VELM_FUZZ "Build the readers' fuzz targets (fuzz/); needs clang and libFuzzer" OFF)

# The program's own code builds without warnings; with VELM_WERROR they are
# errors. Qt and system headers come in as system includes and are not
# affected.
add_library(velm_options INTERFACE)
target_compile_options(velm_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wconversion -Wsign-conversion
  -Wnull-dereference -Wformat=2)
# The fuzz build is made by another compiler, whose warnings are shown but
# do not stop it.
if(VELM_WERROR AND NOT VELM_FUZZ)
  target_compile_options(velm_options INTERFACE -Werror)
endif()
if(VELM_SANITIZE)
  target_compile_options(velm_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(velm_options INTERFACE -fsanitize=address,undefined)
endif()
if(VELM_FUZZ)
  # The libraries are instrumented for coverage; only the fuzz targets link
  # libFuzzer's main (fuzz/CMakeLists.txt).
  target_compile_options(velm_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer -O1)
  target_link_options(velm_options INTERFACE -fsanitize=address,undefined)
endif()
target_include_directories(velm_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# velm_library(<folder> SOURCES ... DEPENDS ... QT ...)
# One static library per folder of src/; DEPENDS names the folders it may use,
# which is the allowed include direction checked by the layering test.
function(velm_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;QT" ${ARGN})
  set(_cpp ${ARG_SOURCES})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(velm_${name} STATIC ${ARG_SOURCES})
    set(_scope PUBLIC)
  else()
    # A folder without code yet still states its dependencies.
    add_library(velm_${name} INTERFACE)
    set(_scope INTERFACE)
  endif()
  target_link_libraries(velm_${name} ${_scope} velm_options)
  foreach(dep IN LISTS ARG_DEPENDS)
    target_link_libraries(velm_${name} ${_scope} velm_${dep})
  endforeach()
  foreach(q IN LISTS ARG_QT)
    target_link_libraries(velm_${name} ${_scope} Qt6::${q})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY VELM_LAYERS "${name}:${ARG_DEPENDS}")
endfunction()
