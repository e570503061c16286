# Common settings for every target of the project.
function(gvz_setup_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wundef)
    target_compile_definitions(${target} PRIVATE QT_DISABLE_DEPRECATED_BEFORE=0x060000)
    if(ENABLE_SANITIZERS)
        # Any finding stops the run; tests that need gigabytes skip themselves, and a run without
        # a window tears its data down so that leaks show (GVZ_SANITIZED).
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                               -fno-sanitize-recover=all -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
        target_compile_definitions(${target} PRIVATE GVZ_SANITIZED)
    endif()
    if(ENABLE_FUZZING)
        # Coverage for the fuzzers in every library they reach.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# gvz_add_test(NAME tst_x SOURCES a.cpp ... LIBS lib ...): a Qt Test executable run headless by CTest.
function(gvz_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    gvz_setup_target(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FATAL_WARNINGS=0;GVZ_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        TIMEOUT 300)
endfunction()

# gvz_add_fuzzer(NAME fuzz_x SOURCES a.cpp ... LIBS lib ...): a libFuzzer target; CTest runs it once
# over its seed corpus (tests/fuzz/corpus/<name>), CI runs it longer.
function(gvz_add_fuzzer)
    cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} ${F_SOURCES})
    gvz_setup_target(${F_NAME})
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    add_test(NAME ${F_NAME}_seeds
             COMMAND ${F_NAME} -runs=0 ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${F_NAME})
    set_tests_properties(${F_NAME}_seeds PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
