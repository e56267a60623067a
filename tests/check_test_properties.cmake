# Reads the tests that ctest would run in BUILD_DIR and fails when one has
# lost a property it needs:
# - every test has a time limit;
# - every test of our GoogleTest programs has the whole test environment
#   (offscreen platform, sanitizer options, leak suppressions);
# - every test that runs under wine has the label win32 and needs the booted
#   prefix (the test that boots it sets the fixture up instead).
#
#   cmake -DCTEST=ctest -DBUILD_DIR=build/test -P tests/check_test_properties.cmake

execute_process(COMMAND ${CTEST} --test-dir ${BUILD_DIR} --show-only=json-v1
                OUTPUT_VARIABLE json RESULT_VARIABLE result ERROR_VARIABLE errors
                TIMEOUT 100)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "ctest --show-only failed (${result}): ${errors}")
endif()

set(wanted_environment QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions= ASAN_OPTIONS= UBSAN_OPTIONS=)

# The value of property NAME of the test at index I, or NOTFOUND.
function(test_property out i name)
    set(${out} NOTFOUND PARENT_SCOPE)
    string(JSON count ERROR_VARIABLE none LENGTH "${json}" tests ${i} properties)
    if(none OR count EQUAL 0)
        return()
    endif()
    math(EXPR last "${count} - 1")
    foreach(p RANGE ${last})
        string(JSON key GET "${json}" tests ${i} properties ${p} name)
        if(key STREQUAL name)
            string(JSON value GET "${json}" tests ${i} properties ${p} value)
            set(${out} "${value}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

string(JSON count LENGTH "${json}" tests)
if(count LESS 2)
    message(FATAL_ERROR "ctest lists ${count} tests; the test programs were not discovered")
endif()
math(EXPR last "${count} - 1")
set(problems "")
foreach(i RANGE ${last})
    string(JSON name GET "${json}" tests ${i} name)
    string(JSON program GET "${json}" tests ${i} command 0)
    string(JSON arguments GET "${json}" tests ${i} command)

    test_property(timeout ${i} TIMEOUT)
    if(NOT timeout OR timeout LESS_EQUAL 0)
        string(APPEND problems "  ${name}: no time limit\n")
    endif()

    if(program MATCHES "/vellumo_[a-z_]*tests$")
        test_property(environment ${i} ENVIRONMENT)
        foreach(entry IN LISTS wanted_environment)
            string(FIND "${environment}" "\"${entry}" at)
            if(at EQUAL -1)
                string(APPEND problems "  ${name}: environment lacks ${entry}\n")
            endif()
        endforeach()
    endif()

    if(program MATCHES "/vellumo_wine_tests$" OR arguments MATCHES "/scripts/wine-(test|prefix)\"")
        test_property(labels ${i} LABELS)
        test_property(setup ${i} FIXTURES_SETUP)
        test_property(required ${i} FIXTURES_REQUIRED)
        if(NOT labels MATCHES "\"win32\"")
            string(APPEND problems "  ${name}: runs under wine without the label win32\n")
        endif()
        if(NOT setup MATCHES "vellumo_wine_prefix" AND NOT required MATCHES "vellumo_wine_prefix")
            string(APPEND problems "  ${name}: runs under wine without the booted prefix\n")
        endif()
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "Tests that lost their properties:\n${problems}")
endif()
message(STATUS "${count} tests, each with its time limit, environment, labels and fixtures")
