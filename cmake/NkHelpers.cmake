# nk_add_library(<folder> <Alias> SOURCES ... LIBS ...)
function(nk_add_library folder alias)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    set(target nk_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    add_library(Nk::${alias} ALIAS ${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
endfunction()

# nk_add_test(<name> SOURCES ... LIBS ... [LABELS ...] [ENV ...] [TIMEOUT s])
# A Qt test program run by CTest on the offscreen platform.
function(nk_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS "${ARG_LABELS}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NK_SOURCE_DIR=${PROJECT_SOURCE_DIR};NK_PROGRAM_DIR=${NK_PROGRAM_DIR};${ARG_ENV}")
endfunction()
