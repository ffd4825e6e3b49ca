# The sanitizer build: every target of the build folder compiled and linked
# with AddressSanitizer + UndefinedBehaviorSanitizer, stopping at the first
# error. With clang the same objects also carry libFuzzer's coverage hooks
# (-fsanitize=fuzzer-no-link), so the fuzz targets under tests/fuzz link the
# very libraries the tests run; only their executables take -fsanitize=fuzzer.
option(BRAMBLET_SANITIZE
    "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer, halting on the first error; with clang, also the libFuzzer targets under tests/fuzz"
    OFF)

set(BRAMBLET_FUZZ OFF)
if(BRAMBLET_SANITIZE)
    set(_bramblet_sanitizers -fsanitize=address,undefined)
    add_compile_options(${_bramblet_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(${_bramblet_sanitizers})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        add_compile_options(-fsanitize=fuzzer-no-link)
        set(BRAMBLET_FUZZ ON)
    else()
        message(STATUS "Sanitizer build without clang: the fuzz targets are not built")
    endif()
endif()
