# KYX_SANITIZE: every target of the project compiled and linked with AddressSanitizer and
# UndefinedBehaviorSanitizer, for the on-demand run of the whole suite (tools/sanitize.sh).
# Any undefined behaviour stops the program, so a report cannot scroll past unnoticed.
option(KYX_SANITIZE "Build everything with address and undefined-behaviour checks" OFF)
if(KYX_SANITIZE)
  set(kyx_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${kyx_sanitize_flags})
  add_link_options(${kyx_sanitize_flags})
endif()

# KYX_FUZZ: the libFuzzer harnesses in fuzz/ (fuzz/run.sh). libFuzzer comes with clang only.
option(KYX_FUZZ "Build the libFuzzer harnesses in fuzz/ (needs clang)" OFF)
if(KYX_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR
    "KYX_FUZZ needs clang (libFuzzer is part of clang), but the C++ compiler is "
    "${CMAKE_CXX_COMPILER_ID}. Configure a fresh build folder with "
    "CC=clang CXX=clang++ cmake ... -DKYX_FUZZ=ON, or use fuzz/run.sh.")
endif()
if(KYX_FUZZ)
  # The libraries the harnesses link get coverage instrumentation and the same checks; the
  # harness programs add the fuzzer's main on top (fuzz/CMakeLists.txt).
  set(kyx_fuzz_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${kyx_fuzz_flags})
  add_link_options(-fsanitize=address,undefined)
endif()
