# Warnings and sanitizers for our own targets; third-party code is never built here.
function(mmsform_compile_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(MMSFORM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(MMSFORM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A call or function address inside one of our libraries binds to that library when it is linked,
# so that starting a program leaves the loader far fewer symbols to look up. Data (vtables,
# type information) is still looked up, so each stays one object across the libraries.
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -Wl,-Bsymbolic-functions")

# A library that the module loads by name binds all its functions at load. The loader loads lazily
# (the system libraries underneath bind on first call), so without this a plugin of ours lacking a
# function would load and then end the process at the first call instead of failing to load.
function(mmsform_bind_at_load target)
  target_link_options(${target} PRIVATE -Wl,-z,now)
endfunction()

# Sources of one layer: every .cpp below the given folders, so that a new file needs no edit here.
function(mmsform_glob_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

if(MMSFORM_FUZZ)
  # Coverage feedback for libFuzzer in every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
