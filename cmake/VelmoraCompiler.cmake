find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

set(THREADS_PREFER_PTHREAD_FLAG ON)

# velmora_build: what every target of ours compiles with. Each library links
# it PUBLIC, so tests, benchmarks and the executable that link a library get
# it too: the include root (#include "config/core/Records.h"), the generated
# version header, the warnings and the sanitizer or fuzzing instrumentation.
add_library(velmora_build INTERFACE)
target_compile_features(velmora_build INTERFACE cxx_std_20)
target_include_directories(velmora_build INTERFACE
    ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_compile_options(velmora_build INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>)
if(VELMORA_WERROR)
    target_compile_options(velmora_build INTERFACE -Werror)
endif()

if(VELMORA_SANITIZE)
    target_compile_options(velmora_build INTERFACE
        -fsanitize=${VELMORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(velmora_build INTERFACE -fsanitize=${VELMORA_SANITIZE})
    # GCC's flow analysis reports uninitialised values inside the standard
    # library (std::regex, std::function) once the sanitizers instrument it.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(velmora_build INTERFACE -Wno-maybe-uninitialized)
    endif()
endif()

# Fuzz builds instrument all the code for coverage, so the fuzzers see into
# the libraries they drive, not only into their own harness.
if(VELMORA_BUILD_FUZZ)
    target_compile_options(velmora_build INTERFACE -fsanitize=fuzzer-no-link)
endif()
