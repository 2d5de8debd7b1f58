find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

add_compile_options(-Wall -Wextra)
if(VELMORA_WERROR)
    add_compile_options(-Werror)
endif()

if(VELMORA_SANITIZE)
    add_compile_options(-fsanitize=${VELMORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${VELMORA_SANITIZE})
    # GCC's flow analysis reports uninitialised values inside the standard
    # library (std::regex, std::function) once the sanitizers instrument it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
endif()

set(THREADS_PREFER_PTHREAD_FLAG ON)

# Fuzz builds instrument all the code for coverage, so the fuzzers see into
# the libraries they drive, not only into their own harness.
if(VELMORA_BUILD_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
